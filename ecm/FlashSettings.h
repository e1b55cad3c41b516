#pragma once

namespace tevra {

enum class EcmType { LM = 0, SMEC = 1, SBEC = 2 };
enum class FlashSize { Size16K = 0, Size32K = 1 };
enum class FlashOperationKind { Read = 0, FullWrite = 1, DifferentialWrite = 2 };

// What the user chose for one flash operation: the Flash dialog's values, or
// the command line's.
struct FlashSettings {
    int portIndex = 0; // "COM 1".."COM 4" as 0..3
    EcmType ecmType = EcmType::SMEC;
    FlashSize size = FlashSize::Size16K;
    FlashOperationKind operation = FlashOperationKind::FullWrite;
    bool verify = true;
    int flashSpeed = 100; // 0 (slow) .. 100 (fast)
};

// Where a Read looks: LM and SMEC by the size choice, SBEC always 32K.
struct ReadGeometry {
    int start;
    int count;
};

inline ReadGeometry readGeometry(EcmType type, FlashSize size) {
    if (type == EcmType::SBEC || size == FlashSize::Size32K) {
        return {0x8000, 0x8000};
    }
    return {0xC000, 0x4000};
}

} // namespace tevra
