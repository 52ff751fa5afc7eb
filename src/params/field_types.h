#pragma once

#include <cstdint>

namespace px3 {

// Direction of a parameter's value. The codes travel on the wire.
enum class TParamType : uint8_t {
    ptUnknown = 0,
    ptInput = 1,
    ptOutput = 2,
    ptInputOutput = 3,
    ptResult = 4,
};

// Data type of a parameter's value; it names the form in which the value's bytes are stored.
// The codes travel on the wire. A list read from wire text may carry codes above ftFMTBcd.
enum class TFieldType : uint8_t {
    ftUnknown = 0,
    ftString = 1,
    ftSmallint = 2,
    ftInteger = 3,
    ftWord = 4,
    ftBoolean = 5,
    ftFloat = 6,
    ftCurrency = 7,
    ftBCD = 8,
    ftDate = 9,
    ftTime = 10,
    ftDateTime = 11,
    ftBytes = 12,
    ftVarBytes = 13,
    ftAutoInc = 14,
    ftBlob = 15,
    ftMemo = 16,
    ftGraphic = 17,
    ftFmtMemo = 18,
    ftParadoxOle = 19,
    ftDBaseOle = 20,
    ftTypedBinary = 21,
    ftCursor = 22,
    ftFixedChar = 23,
    ftWideString = 24,
    ftLargeint = 25,
    ftADT = 26,
    ftArray = 27,
    ftReference = 28,
    ftDataSet = 29,
    ftOraBlob = 30,
    ftOraClob = 31,
    ftVariant = 32,
    ftInterface = 33,
    ftIDispatch = 34,
    ftGuid = 35,
    ftTimeStamp = 36,
    ftFMTBcd = 37,
};

}  // namespace px3
