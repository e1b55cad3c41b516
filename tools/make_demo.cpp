// Writes the bundled demo calibration: a 16 KB image at 0xC000 with a little
// 68HC11 code that looks its tables up the way a controller does (LDX #table,
// then a lookup routine), one entry of every kind, and its definition file.
//
//   make_demo OUTDIR   ->  OUTDIR/demo.bin, demo.s19, demo.tbl
#include "Calibration.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

using namespace tevra;

namespace {

constexpr int kBase = 0xC000;
constexpr int kLength = 0x4000;

class ImageBuilder {
public:
    // Erased memory reads 0xFF; the table area is cleared so that the gaps
    // between tables do not look like table terminators.
    ImageBuilder() : bytes_(kLength, 0xFF) {
        for (int a = 0xC100; a < 0xC600; ++a)
            at(a) = 0x00;
    }
    std::uint8_t& at(int address) { return bytes_[static_cast<std::size_t>(address - kBase)]; }
    void put(int& address, std::initializer_list<int> bs) {
        for (int b : bs)
            at(address++) = static_cast<std::uint8_t>(b);
    }
    void word(int& address, int w) { put(address, {(w >> 8) & 0xFF, w & 0xFF}); }
    std::vector<std::uint8_t> take() { return std::move(bytes_); }

private:
    std::vector<std::uint8_t> bytes_;
};

struct Point {
    int x, y;
};

// 8-bit table: count, then (X, Y, slope) records with consistent slopes.
void put8BitTable(ImageBuilder& img, int address, const std::vector<Point>& pts) {
    int a = address;
    img.put(a, {static_cast<int>(pts.size())});
    for (std::size_t i = 0; i < pts.size(); ++i) {
        int slope = 0;
        if (i + 1 < pts.size() && pts[i + 1].x != pts[i].x)
            slope = ((pts[i + 1].y - pts[i].y) * 256) / (pts[i + 1].x - pts[i].x);
        img.put(a, {pts[i].x, pts[i].y & 0xFF, (slope >> 8) & 0xFF, slope & 0xFF});
    }
}

// 16-bit table: (X, Y16, slope16) records ended by an X byte of 0xFF; the last
// real point's slope extrapolates to X = 255.
void put16BitTable(ImageBuilder& img, int address, const std::vector<Point>& pts, int endSlope) {
    int a = address;
    for (std::size_t i = 0; i < pts.size(); ++i) {
        int slope = endSlope;
        if (i + 1 < pts.size())
            slope = ((pts[i + 1].y - pts[i].y) * 256) / (pts[i + 1].x - pts[i].x);
        img.put(a, {pts[i].x});
        img.word(a, pts[i].y);
        img.word(a, slope);
    }
    img.put(a, {0xFF});
}

CalEntry& define(Calibration& cal, EntryType type, int address, const char* name) {
    CalEntry& e = *cal.NewEntry();
    e.type = type;
    e.name = name;
    e.Relocate(address);
    return e;
}

void axes(CalEntry& e, const char* xName, const char* xMin, const char* xMax, const char* xUnit,
          const char* yName, const char* yMin, const char* yMax, const char* yUnit) {
    e.xName = xName;
    e.xMin = xMin;
    e.xMax = xMax;
    e.xUnit = xUnit;
    e.yName = yName;
    e.yMin = yMin;
    e.yMax = yMax;
    e.yUnit = yUnit;
}

// Table and constant addresses.
constexpr int kSpark = 0xC100, kFuel = 0xC140, kCoolant = 0xC180, kBoost = 0xC1C0;
constexpr int kVe = 0xC200, kKnock = 0xC260;
constexpr int kOverboost = 0xC300, kRevLimit = 0xC302, kOptions = 0xC304, kTransmission = 0xC305;
constexpr int kUnknown = 0xC310;
constexpr int kChecksum = 0xC0FE, kFixup = 0xC0FF;

// The main loop: every table is found with LDX #table and read by a lookup routine;
// constants are read directly with extended loads.
void putCode(ImageBuilder& img) {
    const int lookup8 = 0xC080, lookup16 = 0xC090, lookup3d = 0xC0B0;
    int a = 0xC000;
    img.put(a, {0x8E, 0x00, 0xFF}); // LDS  #$00FF
    img.put(a, {0x0F});             // SEI
    const int loop = a;
    img.put(a, {0xCE, kSpark >> 8, kSpark & 0xFF});               // LDX  #SPARK
    img.put(a, {0x96, 0x40});                                     // LDAA $40 (rpm / 32)
    img.put(a, {0xBD, lookup8 >> 8, lookup8 & 0xFF});             // JSR  LOOKUP8
    img.put(a, {0x97, 0x41});                                     // STAA $41 (advance)
    img.put(a, {0xCE, kFuel >> 8, kFuel & 0xFF});                 // LDX  #FUEL
    img.put(a, {0x96, 0x42});                                     // LDAA $42 (MAP)
    img.put(a, {0xBD, lookup16 >> 8, lookup16 & 0xFF});           // JSR  LOOKUP16
    img.put(a, {0xDD, 0x44});                                     // STD  $44 (pulse width)
    img.put(a, {0xCE, kCoolant >> 8, kCoolant & 0xFF});           // LDX  #COOLANT
    img.put(a, {0x96, 0x46});                                     // LDAA $46 (coolant)
    img.put(a, {0xBD, lookup8 >> 8, lookup8 & 0xFF});             // JSR  LOOKUP8
    img.put(a, {0x97, 0x47});                                     // STAA $47
    img.put(a, {0xCE, kBoost >> 8, kBoost & 0xFF});               // LDX  #BOOST
    img.put(a, {0x96, 0x40});                                     // LDAA $40
    img.put(a, {0xBD, lookup8 >> 8, lookup8 & 0xFF});             // JSR  LOOKUP8
    img.put(a, {0x97, 0x48});                                     // STAA $48
    img.put(a, {0xCE, kVe >> 8, kVe & 0xFF});                     // LDX  #VE
    img.put(a, {0xBD, lookup3d >> 8, lookup3d & 0xFF});           // JSR  LOOKUP3D
    img.put(a, {0x97, 0x49});                                     // STAA $49
    img.put(a, {0xCE, kKnock >> 8, kKnock & 0xFF});               // LDX  #KNOCK
    img.put(a, {0xBD, lookup3d >> 8, lookup3d & 0xFF});           // JSR  LOOKUP3D
    img.put(a, {0x97, 0x4A});                                     // STAA $4A
    img.put(a, {0xB6, kOverboost >> 8, kOverboost & 0xFF});       // LDAA OVERBOOST
    img.put(a, {0x91, 0x42});                                     // CMPA $42
    img.put(a, {0x24, 0x02});                                     // BHS  +2
    img.put(a, {0x14, 0x4B, 0x01});                               // BSET $4B,#$01
    img.put(a, {0xFC, kRevLimit >> 8, kRevLimit & 0xFF});         // LDD  REVLIMIT
    img.put(a, {0xB6, kOptions >> 8, kOptions & 0xFF});           // LDAA OPTIONS
    img.put(a, {0xF6, kTransmission >> 8, kTransmission & 0xFF}); // LDAB TRANSMISSION
    const int back = loop - (a + 2);
    img.put(a, {0x20, back & 0xFF}); // BRA  LOOP

    // LOOKUP8: A = input, X -> count, records. Walks to the bracketing record.
    a = lookup8;
    img.put(a, {0xE6, 0x00, 0x08, 0xA1, 0x00, 0x23, 0x06, 0x08, 0x08, 0x08, 0x5A, 0x26, 0xF6, 0xA6,
                0x01, 0x39});
    // LOOKUP16: D result from 5-byte records.
    a = lookup16;
    img.put(a,
            {0xA1, 0x05, 0x23, 0x06, 0x08, 0x08, 0x08, 0x08, 0x08, 0x20, 0xF6, 0xEC, 0x01, 0x39});
    // LOOKUP3D: rows, columns, signed flag, then cells.
    a = lookup3d;
    img.put(a, {0xE6, 0x01, 0xA6, 0x00, 0x3D, 0x3A, 0xA6, 0x03, 0x39});
    // Reset vector.
    a = 0xFFFE;
    img.word(a, 0xC000);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_demo OUTDIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    ImageBuilder img;
    putCode(img);

    // Spark advance over RPM: X raw = rpm / 32, Y raw = degrees * 2.
    put8BitTable(img, kSpark,
                 {{16, 20},
                  {25, 24},
                  {38, 36},
                  {50, 50},
                  {63, 60},
                  {94, 68},
                  {125, 72},
                  {156, 74},
                  {188, 70},
                  {219, 64}});
    // Fuel pulse width over MAP: X raw = kPa, Y raw = ms * 512.
    put16BitTable(img, kFuel,
                  {{20, 1024},
                   {40, 1792},
                   {60, 2560},
                   {80, 3328},
                   {100, 4096},
                   {130, 5376},
                   {160, 6656},
                   {200, 8448}},
                  11520);
    // Coolant correction: X raw = degrees C + 40, Y signed raw = percent * 2.56 - 128... kept
    // about zero: -50..50 % over the byte.
    put8BitTable(
        img, kCoolant,
        {{0, 102}, {30, 77}, {50, 51}, {70, 26}, {90, 10}, {110, 0}, {130, -13}, {160, -26}});
    // Boost target over RPM: X raw = rpm / 32, Y raw = psi * 8.
    put8BitTable(img, kBoost,
                 {{31, 24}, {63, 56}, {94, 96}, {125, 112}, {156, 120}, {188, 112}, {219, 104}});
    {
        // Volumetric efficiency, 8 rows of MAP by 8 columns of RPM, unsigned cells.
        int a = kVe;
        img.put(a, {8, 8, 0x00});
        for (int r = 0; r < 8; ++r)
            for (int c = 0; c < 8; ++c)
                img.put(a, {40 + r * 8 + c * 3 - (c > 5 ? (c - 5) * 4 : 0)});
    }
    {
        // Knock retard, 6 rows by 10 columns, signed cells (negative = retard).
        int a = kKnock;
        img.put(a, {6, 10, 0xFF});
        for (int r = 0; r < 6; ++r)
            for (int c = 0; c < 10; ++c)
                img.put(a, {(-(r * c) / 4) & 0xFF});
    }
    {
        int a = kOverboost;
        img.put(a, {190}); // kPa
        a = kRevLimit;
        img.word(a, 6400); // rpm
        a = kOptions;
        img.put(a, {0x0B}); // knock sensor, closed loop, A/C cutout
        a = kTransmission;
        img.put(a, {0x01}); // A413
    }
    {
        int a = kUnknown;
        img.put(a, {0x12, 0x34, 0x56, 0x78});
    }

    Calibration cal;
    cal.SetImage(img.take());
    cal.description = "Tevra demo calibration (2.2 turbo, 16K)";
    cal.author = "Tevra";
    cal.injectorSize = 39.0f;
    cal.maxBoost = 14.0f;
    cal.mapType = 2.0f;
    cal.checksumEnabled = true;
    cal.checksumAddress = kChecksum;
    cal.fixupAddress = kFixup;

    auto& spark = define(cal, EntryType::Unsigned8Table, kSpark, "Spark Advance");
    axes(spark, "Engine Speed", "0", "8192", "RPM", "Advance", "0", "128", "deg");
    spark.chryslerName = "SPKADV";
    spark.description = "Base spark advance over engine speed, before knock retard.";
    auto& fuel = define(cal, EntryType::Unsigned16Table, kFuel, "Fuel Pulse Width");
    axes(fuel, "MAP", "0", "256", "kPa", "Pulse Width", "0", "24", "ms");
    fuel.chryslerName = "FUELPW";
    fuel.description = "Base injector pulse width over manifold pressure.";
    auto& coolant = define(cal, EntryType::Signed8Table, kCoolant, "Coolant Correction");
    axes(coolant, "Coolant", "-40", "216", "C", "Correction", "-50", "50", "%");
    coolant.chryslerName = "CLTCOR";
    coolant.description = "Fuel correction over coolant temperature: rich when cold.";
    auto& boost = define(cal, EntryType::Unsigned8Table, kBoost, "Boost Target");
    axes(boost, "Engine Speed", "0", "8192", "RPM", "Boost", "0", "32", "psi");
    boost.chryslerName = "BSTTGT";
    boost.description = "Wastegate boost target over engine speed.";
    auto& ve = define(cal, EntryType::Table3D, kVe, "Volumetric Efficiency");
    axes(ve, "Engine Speed", "500", "6500", "RPM", "MAP", "20", "200", "kPa");
    ve.chryslerName = "VETBL";
    ve.description = "Volumetric efficiency by MAP (rows) and RPM (columns).";
    auto& knock = define(cal, EntryType::Table3D, kKnock, "Knock Retard");
    axes(knock, "Engine Speed", "1000", "6000", "RPM", "Load", "0", "100", "%");
    knock.chryslerName = "KNKRET";
    knock.description = "Spark retard by load (rows) and RPM (columns); signed cells.";
    auto& overboost = define(cal, EntryType::Constant8, kOverboost, "Overboost Limit");
    axes(overboost, "IN", "0", "256", "X", "Pressure", "0", "255", "kPa");
    overboost.chryslerName = "OVRBST";
    overboost.description = "Fuel is cut above this manifold pressure.";
    auto& rev = define(cal, EntryType::Constant16, kRevLimit, "Rev Limit");
    axes(rev, "IN", "0", "256", "X", "Engine Speed", "0", "65535", "RPM");
    rev.chryslerName = "REVLIM";
    rev.description = "Fuel cut engine speed.";
    auto& options = define(cal, EntryType::FlagByte, kOptions, "Option Flags");
    options.itemNames = {"Knock Sensor", "Closed Loop O2", "Unused",      "A/C Cutout",
                         "Unused",       "Unused",         "Intercooler", "Unused"};
    options.chryslerName = "OPTFLG";
    options.description = "Feature switches of the engine program.";
    auto& trans = define(cal, EntryType::ValueList, kTransmission, "Transmission Type");
    trans.itemNames = {"Manual 5-Speed", "A413 Automatic", "A604 Automatic", "Unused",
                       "Unused",         "Unused",         "Unused",         "Unused"};
    trans.itemValues = {0x00, 0x01, 0x02, 0, 0, 0, 0, 0};
    trans.chryslerName = "TRNTYP";
    trans.description = "Which transmission the shift and torque logic expects.";
    auto& unknown = define(cal, EntryType::Unknown, kUnknown, "Unknown Block");
    unknown.description = "Bytes not yet identified.";

    const bool ok = cal.SaveBinary(dir + "/demo.bin") && cal.SaveS19(dir + "/demo.s19") &&
                    cal.SaveDefinitions(dir + "/demo.tbl");
    if (!ok) {
        std::fprintf(stderr, "make_demo: could not write into %s\n", dir.c_str());
        return 1;
    }
    return 0;
}
