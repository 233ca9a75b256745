// IZuriruv, the dual interface of the Zuriruv class, in virtual-table order,
// with the identifiers other modules use to create and call it.
#pragma once

#include "platform/com/interfaces.h"

namespace automation {

using platform::com::BSTR;
using platform::com::CLSID;
using platform::com::GUID;
using platform::com::HRESULT;
using platform::com::IDispatch;
using platform::com::IID;
using platform::com::LONG;

// {61A366B6-165F-42B6-8A5E-3569B0780C33}
constexpr CLSID CLSID_Zuriruv = {
    0x61A366B6, 0x165F, 0x42B6, {0x8A, 0x5E, 0x35, 0x69, 0xB0, 0x78, 0x0C, 0x33}};
// {6786CC55-6A3A-4720-AADF-F2FA5B64B5B3}
constexpr IID IID_IZuriruv = {
    0x6786CC55, 0x6A3A, 0x4720, {0xAA, 0xDF, 0xF2, 0xFA, 0x5B, 0x64, 0xB5, 0xB3}};
// {435E6D57-2051-44EB-8A90-C9BA434215F8}, version 1.1
constexpr GUID LIBID_TALLOMIRLib = {
    0x435E6D57, 0x2051, 0x44EB, {0x8A, 0x90, 0xC9, 0xBA, 0x43, 0x42, 0x15, 0xF8}};

class IZuriruv : public IDispatch {
public:
    virtual HRESULT SetConsoleHandle(LONG hConsole, LONG nMsg) = 0;
    virtual HRESULT Output(BSTR pbstr) = 0;
    virtual HRESULT BitCount(BSTR pbstr, LONG* pnBitCount) = 0;
    virtual HRESULT BitLeftShift(BSTR pbstrHex, LONG nShift, BSTR* ppbstrSft) = 0;
    virtual HRESULT BitRightShift(BSTR pbstrHex, LONG nShift, BSTR* ppbstrSft) = 0;
    virtual HRESULT BitNot(BSTR pbstrSrc, BSTR* ppbstrDest) = 0;
    virtual HRESULT BitAnd(BSTR pbstrOp1, BSTR pbstrOp2, BSTR* ppbstrRes) = 0;
    virtual HRESULT BitOr(BSTR pbstrOp1, BSTR pbstrOp2, BSTR* ppbstrRes) = 0;
    virtual HRESULT BitXor(BSTR pbstrOp1, BSTR pbstrOp2, BSTR* ppbstrRes) = 0;
    virtual HRESULT GenRandomBits(LONG nBits, BSTR* ppbstrOut) = 0;
    virtual HRESULT Compare(BSTR pbstrHex1, BSTR pbstrHex2, LONG* pnCmpVal) = 0;
    virtual HRESULT Add(BSTR pbstrOp1, BSTR pbstrOp2, BSTR* ppbstrRes) = 0;
    virtual HRESULT Subtract(BSTR pbstrOp1, BSTR pbstrOp2, BSTR* ppbstrRes) = 0;
    virtual HRESULT Multiply(BSTR pbstrOp1, BSTR pbstrOp2, BSTR* ppbstrRes) = 0;
    virtual HRESULT Divide(BSTR pbstrOp1, BSTR pbstrOp2, BSTR* ppbstrRes) = 0;
    virtual HRESULT Mod(BSTR pbstrOp1, BSTR pbstrOp2, BSTR* ppbstrRes) = 0;
    virtual HRESULT Pow2(BSTR pbstrOp, BSTR* ppbstrRes) = 0;
    virtual HRESULT ModPow2(BSTR pbstrBase, BSTR pbstrMod, BSTR* ppbstrRes) = 0;
    virtual HRESULT ModPow(BSTR pbstrBase, BSTR pbstrPow, BSTR pbstrMod, BSTR* ppbstrRes) = 0;
    virtual HRESULT GCD(BSTR pbstrOp1, BSTR pbstrOp2, BSTR* ppbstrRes) = 0;
    virtual HRESULT ModInverse(BSTR pbstrOp1, BSTR pbstrOp2, BSTR* ppbstrRes) = 0;
    virtual HRESULT FermatTest(BSTR pbstrHex, LONG nTimes, LONG* pnVal) = 0;
    virtual HRESULT SolovayStrassenTest(BSTR pbstrHex, LONG nTimes, LONG* pnVal) = 0;
    virtual HRESULT MillerRabinTest(BSTR pbstrHex, LONG nTimes, LONG* pnVal) = 0;
    virtual HRESULT Swap(BSTR pbstrHex, LONG nUnit, BSTR* ppbstrRes) = 0;
    virtual HRESULT SetCryptHandle(LONG hCrypt) = 0;
    virtual HRESULT MillerRabinSearch(LONG nBits, LONG nTest, BSTR* ppbstrRes) = 0;

protected:
    ~IZuriruv() = default;
};

} // namespace automation
