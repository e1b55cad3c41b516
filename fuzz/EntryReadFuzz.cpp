// Random definitions on a random image: every read and edit operation of every
// kind of entry stays inside the image (the sanitizers watch the buffer).
#include "Calibration.h"

#include <algorithm>
#include <cstdlib>

using namespace tevra;

namespace {
struct Input {
    const std::uint8_t* p;
    std::size_t n;
    int byte() {
        if (n == 0)
            return 0;
        --n;
        return *p++;
    }
    int word() { return (byte() << 8) | byte(); }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in{data, size};
    const int imageLength = in.word() % 2048;
    const int base = 0x10000 - 2048 + (in.byte() % 16);
    const int entries = 1 + in.byte() % 6;
    struct Def {
        int type, offset;
        bool readOnly;
    };
    std::vector<Def> defs;
    for (int i = 0; i < entries; ++i) {
        const int t = in.byte() % 10;
        const int off = static_cast<std::int16_t>(in.word()) % (imageLength + 64);
        defs.push_back({t, off, (in.byte() & 1) != 0});
    }
    std::vector<std::uint8_t> image(static_cast<std::size_t>(imageLength));
    for (auto& b : image)
        b = static_cast<std::uint8_t>(in.byte());

    Calibration cal;
    cal.baseAddress = base;
    cal.SetImage(image);
    for (const Def& d : defs) {
        CalEntry* e = cal.NewEntry();
        e->type = static_cast<EntryType>(d.type);
        e->yMin = "-10";
        e->yMax = "300";
        e->Relocate(base + d.offset);
        cal.readOnly = d.readOnly;
        const int p = std::min(e->PointCount(), 400);
        for (int i = -1; i <= p; ++i)
            (void)(e->GetX(i) + e->GetY(i) + e->GetSlope(i));
        // The curve is sampled the way the scan compares curves.
        for (int x = -8; x <= 264; x += 8)
            (void)e->Interpolate(x);
        for (int r = 0; r < std::min(e->Rows(), 40); ++r)
            for (int c = 0; c < std::min(e->Columns(), 40); ++c)
                (void)e->GetCell(c, r);
        (void)e->NearestPoint(0.5f, 0.5f);
        (void)e->XToEng(e->GetX(0));
        (void)e->YToEng(e->GetY(0));
        const bool editable = !d.readOnly && e->inImage();
        const auto before = cal.image();
        const int i = p > 0 ? in.byte() % p : 0;
        switch (in.byte() % 10) {
        case 0:
            e->OffsetPoint(i, in.byte() % 3 - 1, in.byte() % 3 - 1);
            break;
        case 1:
            e->DragPoint(i, in.byte() / 255.0f, in.byte() / 255.0f, in.byte() & 1);
            break;
        case 2:
            e->AddToAll(static_cast<float>(in.byte() - 128));
            break;
        case 3:
            e->SetAll(static_cast<float>(in.byte()));
            break;
        case 4:
            e->ScaleAll(in.byte() / 50.0f, in.byte() / 50.0f);
            break;
        case 5:
            e->AddToCell(in.byte() % 40, in.byte() % 40, in.byte() % 3 - 1);
            break;
        case 6:
            e->SetPointY(i, in.word());
            break;
        case 7:
            e->ScalePoint(i, in.byte() / 50.0f, in.byte() / 50.0f);
            break;
        default:
            e->AddY(i, in.byte() - 128);
            break;
        }
        if (!editable && cal.image() != before)
            std::abort(); // a read-only or partly outside entry changed bytes
    }
    return 0;
}
