// Opening and saving a full-size calibration, and searching a large library.
#include "Calibration.h"
#include "TempDir.h"

#include <benchmark/benchmark.h>
#include <filesystem>

using namespace tevra;
using tevra::test::TempDir;

namespace {

// A 32 KB image with 1000 definitions of every kind, written once per process.
struct BigCalibration {
    TempDir dir;
    std::string image;
    BigCalibration() {
        Calibration cal;
        std::vector<std::uint8_t> bytes(0x8000);
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<std::uint8_t>(i * 31 + 7);
        cal.baseAddress = 0x8000;
        cal.SetImage(bytes);
        for (int i = 0; i < 1000; ++i) {
            CalEntry* e = cal.NewEntry();
            e->type = static_cast<EntryType>(i % 9);
            e->name = "Table number " + std::to_string(i);
            e->description = "A table with a longer description to make the lines realistic.";
            e->Relocate(0x8000 + i * 32);
        }
        image = dir.file("big.bin");
        cal.imagePath = image;
        cal.SetDataModified(true);
        cal.SetDefinitionsModified(true);
        cal.SaveCalibration();
    }
};

BigCalibration& big() {
    static BigCalibration b;
    return b;
}

void OpenBigCalibration(benchmark::State& state) {
    for (auto _ : state) {
        Calibration cal;
        benchmark::DoNotOptimize(cal.OpenCalibration(big().image));
    }
}
BENCHMARK(OpenBigCalibration)->Unit(benchmark::kMillisecond);

void SaveBigCalibration(benchmark::State& state) {
    Calibration cal;
    cal.OpenCalibration(big().image);
    for (auto _ : state) {
        cal.SetDataModified(true);
        cal.SetDefinitionsModified(true);
        benchmark::DoNotOptimize(cal.SaveCalibration());
    }
}
BENCHMARK(SaveBigCalibration)->Unit(benchmark::kMillisecond);

// 5000 library files, none of which matches: the search reads every one.
void LibrarySearch5000(benchmark::State& state) {
    static TempDir library;
    static bool made = false;
    if (!made) {
        std::string text = "C000\r\nLibrary calibration\r\nTevra\r\ninjectors 33.0\r\nboost "
                           "12.0\r\nmap 2.0\r\nchecksum n 0000 0000\r\ncrc32 %\r\nTevra_Version "
                           "1.11\r\n";
        for (int k = 0; k < 200; ++k)
            text += "C100 0 n Spark_Advance IN 0 256 X OUT 0 256 Y NAME Description\r\n";
        for (int i = 0; i < 5000; ++i) {
            std::string t = text;
            char crc[9];
            std::snprintf(crc, sizeof crc, "%08X", i);
            t.replace(t.find('%'), 1, crc);
            TempDir::write(library.file("cal" + std::to_string(i) + ".TBL"), t);
        }
        made = true;
    }
    Calibration cal;
    cal.SetImage(std::vector<std::uint8_t>(0x8000, 0x5A));
    for (auto _ : state)
        benchmark::DoNotOptimize(cal.FindLibraryMatch(library.path().string()));
}
BENCHMARK(LibrarySearch5000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
