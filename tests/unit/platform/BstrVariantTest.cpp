// BSTR storage and VARIANT ownership: who frees what, what a copy shares, and how references
// are followed. Run under AddressSanitizer, a leak or a double release fails the suite.
#include <gtest/gtest.h>

#include <cstring>

#include "OleAutoTestSupport.h"

using namespace platform_test;

// Other modules and hosts read these fields directly, so the layout must be the system's.
static_assert(sizeof(VARIANT) == (sizeof(void*) == 8 ? 24 : 16));
static_assert(offsetof(VARIANT, lVal) == 8 && offsetof(VARIANT, bstrVal) == 8 && offsetof(VARIANT, cyVal) == 8);
static_assert(sizeof(DECIMAL) == 16 && offsetof(VARIANT, decVal) == 0);
static_assert(sizeof(CY) == 8 && sizeof(SAFEARRAYBOUND) == 8);
static_assert(offsetof(SAFEARRAY, pvData) == (sizeof(void*) == 8 ? 16 : 12) &&
              offsetof(SAFEARRAY, rgsabound) == offsetof(SAFEARRAY, pvData) + sizeof(void*));
static_assert(offsetof(DISPPARAMS, cArgs) == 2 * sizeof(void*));
static_assert(offsetof(EXCEPINFO, bstrSource) == sizeof(void*) && offsetof(EXCEPINFO, scode) == 7 * sizeof(void*));

TEST(Bstr, KeepsItsByteLengthInFrontAndAZeroBehind) {
    BSTR text = MakeBstr(std::u16string_view(u"ab\0c", 4));
    ASSERT_NE(text, nullptr);
    DWORD prefix;
    std::memcpy(&prefix, reinterpret_cast<const char*>(text) - sizeof(DWORD), sizeof prefix);
    EXPECT_EQ(prefix, 8u);
    EXPECT_EQ(SysStringLen(text), 4u);
    EXPECT_EQ(SysStringByteLen(text), 8u);
    EXPECT_EQ(text[4], 0);
    EXPECT_EQ(TextOf(text), std::u16string(u"ab\0c", 4));
    SysFreeString(text);
}

TEST(Bstr, AllocatesFromBytesAndFromNothing) {
    BSTR odd = SysAllocStringByteLen("abc", 3);
    EXPECT_EQ(SysStringByteLen(odd), 3u);
    EXPECT_EQ(SysStringLen(odd), 1u);
    EXPECT_EQ(std::memcmp(odd, "abc\0\0", 5), 0);
    SysFreeString(odd);

    BSTR blank = SysAllocStringLen(nullptr, 3);
    EXPECT_EQ(SysStringLen(blank), 3u);
    EXPECT_EQ(blank[3], 0);
    SysFreeString(blank);

    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    BSTR empty = MakeBstr(u"");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(SysStringLen(empty), 0u);
    SysFreeString(empty);
    SysFreeString(nullptr);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    EXPECT_EQ(SysStringByteLen(nullptr), 0u);

    // Sizes whose byte count does not fit the length field are refused, not wrapped.
    EXPECT_EQ(SysAllocStringLen(nullptr, 0x7FFFFFFF), nullptr);
    EXPECT_EQ(SysAllocStringByteLen(nullptr, 0xFFFFFFFF), nullptr);
}

TEST(Bstr, ReallocatesFromPartOfItself) {
    BSTR text = MakeBstr(u"abcdef");
    ASSERT_TRUE(SysReAllocString(&text, text + 2));
    EXPECT_EQ(TextOf(text), u"cdef");
    ASSERT_TRUE(SysReAllocStringLen(&text, text, 2));
    EXPECT_EQ(TextOf(text), u"cd");
    ASSERT_TRUE(SysReAllocString(&text, reinterpret_cast<const OLECHAR*>(u"a longer text")));
    EXPECT_EQ(TextOf(text), u"a longer text");
    SysFreeString(text);
}

TEST(VariantClear, ReleasesWhatTheVariantOwnsAndNothingElse) {
    ValueObject object;
    VARIANT v;
    VariantInit(&v);
    EXPECT_EQ(v.vt, VT_EMPTY);
    v.vt = VT_DISPATCH;
    v.pdispVal = &object;
    object.AddRef();
    EXPECT_EQ(VariantClear(&v), S_OK);
    EXPECT_EQ(v.vt, VT_EMPTY);
    EXPECT_EQ(object.references, 1);

    v.vt = VT_BYREF | VT_DISPATCH;
    IDispatch* held = &object;
    v.ppdispVal = &held;
    EXPECT_EQ(VariantClear(&v), S_OK);
    EXPECT_EQ(object.references, 1);

    v.vt = VT_BSTR;
    v.bstrVal = MakeBstr(u"freed by VariantClear");
    EXPECT_EQ(VariantClear(&v), S_OK);

    v.vt = VT_ARRAY | VT_BSTR;
    v.parray = SafeArrayCreateVector(VT_BSTR, 0, 2);
    LONG index = 1;
    BSTR item = MakeBstr(u"element");
    SafeArrayPutElement(v.parray, &index, item);
    SysFreeString(item);
    EXPECT_EQ(VariantClear(&v), S_OK);

    v.vt = 15;
    EXPECT_EQ(VariantClear(&v), DISP_E_BADVARTYPE);
    EXPECT_EQ(v.vt, 15);
}

TEST(VariantCopy, CopiesStringsAndArraysDeeplyAndSharesObjects) {
    Var source;
    SetText(source, u"текст");
    Var copy;
    copy.v.vt = VT_BSTR;
    copy.v.bstrVal = MakeBstr(u"replaced");
    ASSERT_EQ(VariantCopy(&copy.v, &source.v), S_OK);
    EXPECT_NE(copy.v.bstrVal, source.v.bstrVal);
    EXPECT_EQ(TextOf(copy.v.bstrVal), u"текст");

    Var array;
    array.v.vt = VT_ARRAY | VT_VARIANT;
    array.v.parray = SafeArrayCreateVector(VT_VARIANT, 0, 1);
    LONG index = 0;
    SafeArrayPutElement(array.v.parray, &index, &source.v);
    Var arrayCopy;
    ASSERT_EQ(VariantCopy(&arrayCopy.v, &array.v), S_OK);
    ASSERT_NE(arrayCopy.v.parray, array.v.parray);
    const auto* element = static_cast<const VARIANT*>(arrayCopy.v.parray->pvData);
    EXPECT_NE(element->bstrVal, static_cast<const VARIANT*>(array.v.parray->pvData)->bstrVal);
    EXPECT_EQ(TextOf(element->bstrVal), u"текст");

    ValueObject object;
    {
        Var holder, shared;
        holder.v.vt = VT_DISPATCH;
        holder.v.pdispVal = &object;
        object.AddRef();
        ASSERT_EQ(VariantCopy(&shared.v, &holder.v), S_OK);
        EXPECT_EQ(shared.v.pdispVal, &object);
        EXPECT_EQ(object.references, 3);
    }
    EXPECT_EQ(object.references, 1);

    LONG number = 3;
    Var reference, referenceCopy;
    reference.v.vt = VT_BYREF | VT_I4;
    reference.v.plVal = &number;
    ASSERT_EQ(VariantCopy(&referenceCopy.v, &reference.v), S_OK);
    EXPECT_EQ(referenceCopy.v.vt, VT_BYREF | VT_I4);
    EXPECT_EQ(referenceCopy.v.plVal, &number);

    ASSERT_EQ(VariantCopy(&source.v, &source.v), S_OK);
    EXPECT_EQ(TextOf(source.v.bstrVal), u"текст");

    Var bad;
    bad.v.vt = 15;
    EXPECT_EQ(VariantCopy(&copy.v, &bad.v), DISP_E_BADVARTYPE);
    bad.v.vt = VT_EMPTY;
}

TEST(VariantCopyInd, ResolvesOneLevelOfReference) {
    LONG number = 7;
    VARIANT byRef;
    VariantInit(&byRef);
    byRef.vt = VT_BYREF | VT_I4;
    byRef.plVal = &number;
    Var plain;
    ASSERT_EQ(VariantCopyInd(&plain.v, &byRef), S_OK);
    EXPECT_EQ(plain.v.vt, VT_I4);
    EXPECT_EQ(plain.v.lVal, 7);

    BSTR text = MakeBstr(u"abc");
    byRef.vt = VT_BYREF | VT_BSTR;
    byRef.pbstrVal = &text;
    Var copied;
    ASSERT_EQ(VariantCopyInd(&copied.v, &byRef), S_OK);
    EXPECT_EQ(copied.v.vt, VT_BSTR);
    EXPECT_NE(copied.v.bstrVal, text);
    EXPECT_EQ(TextOf(copied.v.bstrVal), u"abc");

    // In place: the variant ends up owning its own copy, the referenced string stays the caller's.
    ASSERT_EQ(VariantCopyInd(&byRef, &byRef), S_OK);
    EXPECT_EQ(byRef.vt, VT_BSTR);
    EXPECT_NE(byRef.bstrVal, text);
    VariantClear(&byRef);
    SysFreeString(text);

    Var notReference;
    SetText(notReference, u"x");
    Var same;
    ASSERT_EQ(VariantCopyInd(&same.v, &notReference.v), S_OK);
    EXPECT_NE(same.v.bstrVal, notReference.v.bstrVal);
}

TEST(VariantCopyInd, FollowsAVariantReferenceToTheValueBehindIt) {
    LONG number = 7;
    VARIANT innerRef;
    VariantInit(&innerRef);
    innerRef.vt = VT_BYREF | VT_I4;
    innerRef.plVal = &number;
    VARIANT outer;
    VariantInit(&outer);
    outer.vt = VT_BYREF | VT_VARIANT;
    outer.pvarVal = &innerRef;
    Var result;
    ASSERT_EQ(VariantCopyInd(&result.v, &outer), S_OK);
    EXPECT_EQ(result.v.vt, VT_I4);
    EXPECT_EQ(result.v.lVal, 7);

    Var array;
    array.v.vt = VT_ARRAY | VT_I4;
    array.v.parray = SafeArrayCreateVector(VT_I4, 0, 2);
    outer.pvarVal = &array.v;
    Var arrayCopy;
    ASSERT_EQ(VariantCopyInd(&arrayCopy.v, &outer), S_OK);
    EXPECT_EQ(arrayCopy.v.vt, VT_ARRAY | VT_I4);
    EXPECT_NE(arrayCopy.v.parray, array.v.parray);

    // A reference to a reference of a variant is refused; the target is left empty.
    VARIANT outermost;
    VariantInit(&outermost);
    outermost.vt = VT_BYREF | VT_VARIANT;
    outermost.pvarVal = &outer;
    Var refused;
    refused.v.vt = VT_I4;
    EXPECT_EQ(VariantCopyInd(&refused.v, &outermost), E_INVALIDARG);
    EXPECT_EQ(refused.v.vt, VT_EMPTY);

    VARIANT emptyRef;
    VariantInit(&emptyRef);
    emptyRef.vt = VT_BYREF | VT_EMPTY;
    emptyRef.byref = &number;
    EXPECT_EQ(VariantCopyInd(&refused.v, &emptyRef), E_INVALIDARG);
}
