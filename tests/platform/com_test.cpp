// Identifiers, automation strings and variants.
#include "platform/com/bstr.h"
#include "platform/com/guid.h"
#include "platform/com/interfaces.h"
#include "platform/com/variant.h"
#include "platform/registry/registry.h"

#include "com_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace platform::com;

namespace {

// ---------------------------------------------------------------- GUID

TEST(ComGuid, WellKnownInterfaceIdsFormatAsPublished) {
    const struct {
        const GUID& id;
        const char* text;
    } cases[] = {
        {IID_IUnknown, "{00000000-0000-0000-C000-000000000046}"},
        {IID_IClassFactory, "{00000001-0000-0000-C000-000000000046}"},
        {IID_IDispatch, "{00020400-0000-0000-C000-000000000046}"},
        {IID_ITypeInfo, "{00020401-0000-0000-C000-000000000046}"},
        {GUID_NULL, "{00000000-0000-0000-0000-000000000000}"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GuidToString(c.id), c.text);
        GUID parsed;
        ASSERT_TRUE(GuidFromString(std::string_view(c.text), &parsed)) << c.text;
        EXPECT_TRUE(parsed == c.id) << c.text;
    }
}

TEST(ComGuid, ParsesFieldsInTextOrderAndEitherCase) {
    GUID g;
    ASSERT_TRUE(GuidFromString(std::string_view("{f414c260-6ac0-11cf-b6d1-00aa00bbbb58}"), &g));
    EXPECT_EQ(g.Data1, 0xF414C260u);
    EXPECT_EQ(g.Data2, 0x6AC0);
    EXPECT_EQ(g.Data3, 0x11CF);
    const uint8_t data4[8] = {0xB6, 0xD1, 0x00, 0xAA, 0x00, 0xBB, 0xBB, 0x58};
    EXPECT_EQ(std::memcmp(g.Data4, data4, 8), 0);
    EXPECT_EQ(GuidToString(g), "{F414C260-6AC0-11CF-B6D1-00AA00BBBB58}");

    char16_t buf[39];
    EXPECT_EQ(StringFromGUID2(g, buf, 39), 39);
    EXPECT_EQ(std::u16string(buf), u"{F414C260-6AC0-11CF-B6D1-00AA00BBBB58}");
    EXPECT_EQ(StringFromGUID2(g, buf, 38), 0);
}

TEST(ComGuid, RejectsMalformedText) {
    const char* bad[] = {
        "",
        "F414C260-6AC0-11CF-B6D1-00AA00BBBB58",    // no braces
        "{F414C260-6AC0-11CF-B6D1-00AA00BBBB58",   // no closing brace
        "{F414C260-6AC0-11CF-B6D1-00AA00BBBB5}",   // short last group
        "{F414C260-6AC0-11CF-B6D1-00AA00BBBB588}", // long last group
        "{F414C26-06AC0-11CF-B6D1-00AA00BBBB58}",  // hyphen misplaced
        "{F414C260-6AC0-11CF-B6D100AA-00BBBB58}",  // hyphen misplaced
        "{F414C260-6AC0-11CF-B6D1-00AA00BBBBG8}",  // not hex
        "{F414C260-6AC0-11CF-B6D1-00AA00BB BB58}", // blank
        "{+414C260-6AC0-11CF-B6D1-00AA00BBBB58}",  // sign
        " {F414C260-6AC0-11CF-B6D1-00AA00BBBB58}", // leading blank
        "(F414C260-6AC0-11CF-B6D1-00AA00BBBB58)",  // wrong brackets
    };
    for (const char* text : bad) {
        GUID g = IID_IDispatch;
        EXPECT_FALSE(GuidFromString(std::string_view(text), &g)) << text;
        EXPECT_TRUE(g == IID_IDispatch) << "output touched for " << text;
    }
}

TEST(ComGuid, OrderIsByteOrderOfTheText) {
    GUID a, b;
    ASSERT_TRUE(GuidFromString(std::string_view("{00000001-0000-0000-0000-000000000000}"), &a));
    ASSERT_TRUE(GuidFromString(std::string_view("{00000000-FFFF-0000-0000-000000000000}"), &b));
    EXPECT_TRUE(b < a);
    EXPECT_FALSE(a < b);
    EXPECT_FALSE(a < a);
}

class ComClsid : public ComRegistryTest {};

TEST_F(ComClsid, FromBracedTextOrProgId) {
    CLSID c;
    EXPECT_EQ(CLSIDFromString(u"{F414C260-6AC0-11CF-B6D1-00AA00BBBB58}", &c), S_OK);
    EXPECT_EQ(c.Data1, 0xF414C260u);

    EXPECT_EQ(CLSIDFromString(u"{F414C260-6AC0-11CF-B6D1-00AA00BBBB5}", &c), CO_E_CLASSSTRING);
    EXPECT_TRUE(c == GUID_NULL);
    EXPECT_EQ(CLSIDFromString(u"Some.Class", &c), CO_E_CLASSSTRING);

    using platform::registry::Root;
    ASSERT_EQ(platform::registry::SetValue(Root::ClassesRoot, "Some.Class\\CLSID", "",
                                           std::string("{0000AAAA-0000-0000-0000-000000000001}")),
              platform::registry::RegError::Ok);
    EXPECT_EQ(CLSIDFromString(u"Some.Class", &c), S_OK);
    EXPECT_EQ(c.Data1, 0x0000AAAAu);
    EXPECT_EQ(c.Data4[7], 1);
    // A ProgID is a single key name.
    EXPECT_EQ(CLSIDFromString("Some.Class\\..", &c), CO_E_CLASSSTRING);
    EXPECT_EQ(CLSIDFromString(u"", &c), CO_E_CLASSSTRING);
}

// ---------------------------------------------------------------- BSTR

struct BstrDeleter {
    void operator()(OLECHAR* s) const { SysFreeString(s); }
};
using Bstr = std::unique_ptr<OLECHAR, BstrDeleter>;

TEST(ComBstr, LayoutIsByteLengthPrefixAndZeroTerminator) {
    const char16_t text[] = {u'a', 0, u'\x20AC', u'z'};
    Bstr s(SysAllocStringLen(text, 4));
    ASSERT_TRUE(s);
    uint32_t prefix;
    std::memcpy(&prefix, reinterpret_cast<const char*>(s.get()) - 4, 4);
    EXPECT_EQ(prefix, 8u);
    EXPECT_EQ(SysStringLen(s.get()), 4u);
    EXPECT_EQ(SysStringByteLen(s.get()), 8u);
    EXPECT_EQ(s.get()[1], 0);
    EXPECT_EQ(s.get()[3], u'z');
    EXPECT_EQ(s.get()[4], 0);

    Bstr zeros(SysAllocStringLen(nullptr, 3));
    ASSERT_TRUE(zeros);
    EXPECT_EQ(SysStringLen(zeros.get()), 3u);
    EXPECT_EQ(zeros.get()[0] | zeros.get()[1] | zeros.get()[2] | zeros.get()[3], 0);

    Bstr empty(SysAllocString(u""));
    ASSERT_TRUE(empty);
    EXPECT_EQ(SysStringLen(empty.get()), 0u);
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    SysFreeString(nullptr);
    // A length whose byte count does not fit the prefix.
    EXPECT_EQ(SysAllocStringLen(nullptr, 0x7FFFFFFFu), nullptr);
}

TEST(ComBstr, Utf8RoundTripKeepsNonAsciiAndEmbeddedZeros) {
    const std::string samples[] = {
        "",
        "plain ASCII",
        "caf\xC3\xA9 \xE2\x82\xAC 100",     // e acute, euro sign
        "\xF0\x9F\x98\x80 outside the BMP", // U+1F600
        std::string("a\0b\0", 4),           // embedded zeros
        "\xEF\xBF\xBF\xF4\x8F\xBF\xBF",     // U+FFFF, U+10FFFF
    };
    for (const auto& utf8 : samples) {
        Bstr s(SysAllocStringFromUtf8(utf8));
        ASSERT_TRUE(s);
        EXPECT_EQ(BstrToUtf8(s.get()), utf8);
    }
    EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x98\x80"), std::u16string(u"\xD83D\xDE00"));
    EXPECT_EQ(Utf8ToUtf16("caf\xC3\xA9"), u"caf\u00E9");
    EXPECT_EQ(SysStringLen(Bstr(SysAllocStringFromUtf8(std::string("a\0b", 3))).get()), 3u);
    EXPECT_EQ(BstrToUtf8(nullptr), "");
}

TEST(ComBstr, MalformedUtf8BecomesReplacementCharacters) {
    const struct {
        std::string in;
        std::u16string out;
    } cases[] = {
        {"a\xFF"
         "b",
         u"a\xFFFD"
         "b"},
        {"\x80", u"\xFFFD"},                               // stray continuation byte
        {"\xC0\xAF", u"\xFFFD\xFFFD"},                     // overlong '/'
        {"\xE0\x80\xAF", u"\xFFFD\xFFFD\xFFFD"},           // overlong, 3 bytes
        {"\xED\xA0\x80", u"\xFFFD\xFFFD\xFFFD"},           // encoded surrogate
        {"\xF4\x90\x80\x80", u"\xFFFD\xFFFD\xFFFD\xFFFD"}, // above U+10FFFF
        {"\xE2\x82", u"\xFFFD\xFFFD"},                     // truncated at the end
        {"\xE2\x82z", u"\xFFFD\xFFFDz"},                   // truncated before ASCII
        {"\xF5", u"\xFFFD"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Utf8ToUtf16(c.in), c.out) << testing::PrintToString(c.in);
}

TEST(ComBstr, UnpairedSurrogatesBecomeReplacementCharacters) {
    EXPECT_EQ(Utf16ToUtf8(u"\xD800x"), "\xEF\xBF\xBDx");
    EXPECT_EQ(Utf16ToUtf8(u"x\xDC00"), "x\xEF\xBF\xBD");
    EXPECT_EQ(Utf16ToUtf8(std::u16string(u"\xDE00\xD83D")), "\xEF\xBF\xBD\xEF\xBF\xBD");
}

// ---------------------------------------------------------------- VARIANT

// Counts references, to see VariantCopy and VariantClear keep them straight.
class CountedDispatch : public IDispatch {
public:
    HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; }
    HRESULT GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    // The default member yields 7.
    HRESULT Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                   UINT*) override {
        if (id != DISPID_VALUE || !result)
            return DISP_E_MEMBERNOTFOUND;
        result->vt = VT_I4;
        result->lVal = 7;
        return S_OK;
    }
    ULONG refs = 1;
};

VARIANT I4(LONG n) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = n;
    return v;
}
VARIANT R8(double d) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_R8;
    v.dblVal = d;
    return v;
}
VARIANT Bool(bool b) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BOOL;
    v.boolVal = b ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}
VARIANT Str(const char* utf8) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocStringFromUtf8(utf8);
    return v;
}

TEST(ComVariant, CopyDuplicatesStringsAndCountsReferences) {
    VARIANT src = Str("text \xE2\x82\xAC");
    VARIANT dst = I4(1);
    ASSERT_EQ(VariantCopy(&dst, &src), S_OK);
    EXPECT_EQ(dst.vt, VT_BSTR);
    EXPECT_NE(dst.bstrVal, src.bstrVal);
    EXPECT_EQ(BstrToUtf8(dst.bstrVal), "text \xE2\x82\xAC");
    EXPECT_EQ(VariantClear(&src), S_OK);
    EXPECT_EQ(src.vt, VT_EMPTY);
    EXPECT_EQ(BstrToUtf8(dst.bstrVal), "text \xE2\x82\xAC"); // still its own copy

    CountedDispatch obj;
    VARIANT d;
    VariantInit(&d);
    d.vt = VT_DISPATCH;
    d.pdispVal = &obj;
    ASSERT_EQ(VariantCopy(&dst, &d), S_OK); // frees the string held by dst
    EXPECT_EQ(obj.refs, 2u);
    EXPECT_EQ(VariantCopy(&dst, &dst), S_OK);
    EXPECT_EQ(obj.refs, 2u);
    EXPECT_EQ(VariantClear(&dst), S_OK);
    EXPECT_EQ(obj.refs, 1u);

    VARIANT odd;
    VariantInit(&odd);
    odd.vt = 0x4003; // by-reference: not a type this layer handles
    EXPECT_EQ(VariantClear(&odd), DISP_E_BADVARTYPE);
    EXPECT_EQ(VariantCopy(&dst, &odd), DISP_E_BADVARTYPE);
}

TEST(ComVariant, ChangeTypeToI4) {
    const struct {
        VARIANT in;
        HRESULT hr;
        LONG out;
    } cases[] = {
        {Str("42"), S_OK, 42},
        {Str("  -7\t"), S_OK, -7},
        {Str("+12"), S_OK, 12},
        {Str("2.5"), S_OK, 2}, // half to even
        {Str("3.5"), S_OK, 4},
        {Str("1e3"), S_OK, 1000},
        {Str("&HFF"), S_OK, 255},
        {Str("&hFFFFFFFF"), S_OK, -1},
        {Str("&O17"), S_OK, 15},
        {Str("2147483647"), S_OK, 2147483647},
        {Str("2147483648"), DISP_E_OVERFLOW, 0},
        {Str("abc"), DISP_E_TYPEMISMATCH, 0},
        {Str(""), DISP_E_TYPEMISMATCH, 0},
        {Str("12abc"), DISP_E_TYPEMISMATCH, 0},
        {Str("+-5"), DISP_E_TYPEMISMATCH, 0},
        {Str("inf"), DISP_E_TYPEMISMATCH, 0},
        {Str("0x10"), DISP_E_TYPEMISMATCH, 0},
        {R8(-2.5), S_OK, -2},
        {R8(1e10), DISP_E_OVERFLOW, 0},
        {Bool(true), S_OK, -1},
        {Bool(false), S_OK, 0},
        {I4(-9), S_OK, -9},
    };
    for (auto c : cases) {
        VARIANT out = I4(99);
        EXPECT_EQ(VariantChangeType(&out, &c.in, 0, VT_I4), c.hr) << testing::PrintToString(c.out);
        if (c.hr == S_OK) {
            EXPECT_EQ(out.vt, VT_I4);
            EXPECT_EQ(out.lVal, c.out);
        }
        VariantClear(&out);
        VariantClear(&c.in);
    }
    VARIANT empty;
    VariantInit(&empty);
    VARIANT out;
    VariantInit(&out);
    EXPECT_EQ(VariantChangeType(&out, &empty, 0, VT_INT), S_OK);
    EXPECT_EQ(out.vt, VT_I4);
    EXPECT_EQ(out.lVal, 0);
}

TEST(ComVariant, ChangeTypeToBstr) {
    const struct {
        VARIANT in;
        USHORT flags;
        const char* out;
    } cases[] = {
        {I4(-12), 0, "-12"},
        {I4(0), 0, "0"},
        {R8(0.5), 0, "0.5"},
        {R8(1e20), 0, "1E+20"},
        {R8(-3), 0, "-3"},
        {Bool(true), 0, "-1"},
        {Bool(false), VARIANT_ALPHABOOL, "False"},
        {Bool(true), VARIANT_ALPHABOOL, "True"},
        {Str("same"), 0, "same"},
    };
    for (auto c : cases) {
        VARIANT out;
        VariantInit(&out);
        ASSERT_EQ(VariantChangeType(&out, &c.in, c.flags, VT_BSTR), S_OK) << c.out;
        EXPECT_EQ(out.vt, VT_BSTR);
        EXPECT_EQ(BstrToUtf8(out.bstrVal), c.out);
        VariantClear(&out);
        VariantClear(&c.in);
    }
}

TEST(ComVariant, ChangeTypeInPlaceAndThroughDefaultMember) {
    VARIANT v = Str("17");
    ASSERT_EQ(VariantChangeType(&v, &v, 0, VT_I4), S_OK);
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, 17);
    ASSERT_EQ(VariantChangeType(&v, &v, 0, VT_BSTR), S_OK);
    EXPECT_EQ(BstrToUtf8(v.bstrVal), "17");
    VariantClear(&v);

    // A failed conversion leaves the destination as it was.
    VARIANT bad = Str("x");
    VARIANT dst = I4(5);
    EXPECT_EQ(VariantChangeType(&dst, &bad, 0, VT_I4), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(dst.vt, VT_I4);
    EXPECT_EQ(dst.lVal, 5);
    VariantClear(&bad);

    CountedDispatch obj;
    VARIANT d;
    VariantInit(&d);
    d.vt = VT_DISPATCH;
    d.pdispVal = &obj;
    VARIANT out;
    VariantInit(&out);
    ASSERT_EQ(VariantChangeType(&out, &d, 0, VT_BSTR), S_OK);
    EXPECT_EQ(BstrToUtf8(out.bstrVal), "7");
    VariantClear(&out);
    EXPECT_EQ(obj.refs, 1u);
}

} // namespace
