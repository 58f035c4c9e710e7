// SAFEARRAY as hosts build and read it: any lower bound, the first dimension varying fastest,
// bounds stored last dimension first, elements copied in and out, locks that guard destruction.
#include <gtest/gtest.h>

#include "OleAutoTestSupport.h"

using namespace platform_test;

namespace {

// An array destroyed at the end of the test.
struct Array {
    SAFEARRAY* psa;
    explicit Array(SAFEARRAY* created) : psa(created) {}
    Array(const Array&) = delete;
    Array& operator=(const Array&) = delete;
    ~Array() { SafeArrayDestroy(psa); }
};

std::u16string TextAt(SAFEARRAY* psa, LONG index) {
    VARIANT item;
    if (FAILED(SafeArrayGetElement(psa, &index, &item)))
        return u"<failed>";
    std::u16string text = item.vt == VT_BSTR ? TextOf(item.bstrVal) : u"<not text>";
    VariantClear(&item);
    return text;
}

} // namespace

TEST(SafeArray, TwoDimensionsWithLowerBoundsOtherThanZero) {
    SAFEARRAYBOUND bounds[2] = {{3, 1}, {2, -1}}; // rows 1..3, columns -1..0
    Array array(SafeArrayCreate(VT_I4, 2, bounds));
    ASSERT_NE(array.psa, nullptr);
    EXPECT_EQ(SafeArrayGetDim(array.psa), 2u);
    EXPECT_EQ(SafeArrayGetElemsize(array.psa), 4u);
    // Stored last dimension first.
    EXPECT_EQ(array.psa->rgsabound[0].cElements, 2u);
    EXPECT_EQ(array.psa->rgsabound[0].lLbound, -1);
    EXPECT_EQ(array.psa->rgsabound[1].cElements, 3u);
    EXPECT_EQ(array.psa->rgsabound[1].lLbound, 1);

    LONG low = 0, high = 0;
    EXPECT_EQ(SafeArrayGetLBound(array.psa, 1, &low), S_OK);
    EXPECT_EQ(SafeArrayGetUBound(array.psa, 1, &high), S_OK);
    EXPECT_EQ(low, 1);
    EXPECT_EQ(high, 3);
    EXPECT_EQ(SafeArrayGetLBound(array.psa, 2, &low), S_OK);
    EXPECT_EQ(SafeArrayGetUBound(array.psa, 2, &high), S_OK);
    EXPECT_EQ(low, -1);
    EXPECT_EQ(high, 0);
    EXPECT_EQ(SafeArrayGetLBound(array.psa, 0, &low), DISP_E_BADINDEX);
    EXPECT_EQ(SafeArrayGetUBound(array.psa, 3, &high), DISP_E_BADINDEX);
    EXPECT_EQ(SafeArrayGetLBound(nullptr, 1, &low), E_INVALIDARG);

    for (LONG column = -1; column <= 0; ++column)
        for (LONG row = 1; row <= 3; ++row) {
            LONG index[2] = {row, column};
            LONG value = row * 10 + column;
            ASSERT_EQ(SafeArrayPutElement(array.psa, index, &value), S_OK);
        }
    // The first index varies fastest in memory.
    const auto* data = static_cast<const LONG*>(array.psa->pvData);
    const LONG expected[] = {9, 19, 29, 10, 20, 30};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(data[i], expected[i]) << i;

    LONG index[2] = {2, 0};
    void* cell = nullptr;
    ASSERT_EQ(SafeArrayPtrOfIndex(array.psa, index, &cell), S_OK);
    EXPECT_EQ(cell, static_cast<void*>(static_cast<LONG*>(array.psa->pvData) + 4));
    LONG value = 0;
    ASSERT_EQ(SafeArrayGetElement(array.psa, index, &value), S_OK);
    EXPECT_EQ(value, 20);
}

TEST(SafeArray, RefusesIndicesOutsideTheBounds) {
    SAFEARRAYBOUND bounds[2] = {{3, 1}, {2, -1}};
    Array array(SafeArrayCreate(VT_I4, 2, bounds));
    LONG value = 5;
    for (auto [row, column] : {std::pair{0, 0}, {4, 0}, {1, -2}, {1, 1}}) {
        LONG index[2] = {row, column};
        void* cell = nullptr;
        EXPECT_EQ(SafeArrayGetElement(array.psa, index, &value), DISP_E_BADINDEX) << row << "," << column;
        EXPECT_EQ(SafeArrayPutElement(array.psa, index, &value), DISP_E_BADINDEX) << row << "," << column;
        EXPECT_EQ(SafeArrayPtrOfIndex(array.psa, index, &cell), DISP_E_BADINDEX) << row << "," << column;
    }
}

TEST(SafeArray, ThreeDimensionsCountFromTheFirst) {
    SAFEARRAYBOUND bounds[3] = {{2, 0}, {3, 10}, {4, -2}};
    Array array(SafeArrayCreate(VT_I2, 3, bounds));
    LONG index[3] = {1, 11, -1};
    void* cell = nullptr;
    ASSERT_EQ(SafeArrayPtrOfIndex(array.psa, index, &cell), S_OK);
    EXPECT_EQ(static_cast<SHORT*>(cell) - static_cast<SHORT*>(array.psa->pvData), 1 + 2 * 1 + 6 * 1);
    EXPECT_EQ(array.psa->rgsabound[0].lLbound, -2);
    EXPECT_EQ(array.psa->rgsabound[2].lLbound, 0);
}

TEST(SafeArray, CreationRefusesWhatCannotBeAnArray) {
    SAFEARRAYBOUND bound = {2, 0};
    EXPECT_EQ(SafeArrayCreate(VT_I4, 0, &bound), nullptr);
    EXPECT_EQ(SafeArrayCreate(VT_EMPTY, 1, &bound), nullptr);
    EXPECT_EQ(SafeArrayCreate(VT_NULL, 1, &bound), nullptr);

    SAFEARRAYBOUND none = {0, 0};
    Array empty(SafeArrayCreate(VT_VARIANT, 1, &none));
    ASSERT_NE(empty.psa, nullptr);
    LONG low = 1, high = 1;
    SafeArrayGetLBound(empty.psa, 1, &low);
    SafeArrayGetUBound(empty.psa, 1, &high);
    EXPECT_EQ(low, 0);
    EXPECT_EQ(high, -1);
    EXPECT_EQ(SafeArrayDestroy(nullptr), S_OK);
    EXPECT_EQ(SafeArrayGetDim(nullptr), 0u);
}

TEST(SafeArray, VectorsKeepTheirTypeAndLowerBound) {
    Array vector(SafeArrayCreateVector(VT_VARIANT, 5, 3));
    ASSERT_NE(vector.psa, nullptr);
    VARTYPE vt = VT_EMPTY;
    EXPECT_EQ(SafeArrayGetVartype(vector.psa, &vt), S_OK);
    EXPECT_EQ(vt, VT_VARIANT);
    EXPECT_EQ(SafeArrayGetElemsize(vector.psa), sizeof(VARIANT));
    EXPECT_TRUE(vector.psa->fFeatures & FADF_VARIANT);
    LONG low = 0, high = 0;
    SafeArrayGetLBound(vector.psa, 1, &low);
    SafeArrayGetUBound(vector.psa, 1, &high);
    EXPECT_EQ(low, 5);
    EXPECT_EQ(high, 7);
    LONG index = 4;
    Var item;
    EXPECT_EQ(SafeArrayPutElement(vector.psa, &index, &item.v), DISP_E_BADINDEX);
}

TEST(SafeArray, LocksGuardDestruction) {
    Array array(SafeArrayCreateVector(VT_BSTR, 0, 1));
    ASSERT_EQ(SafeArrayLock(array.psa), S_OK);
    EXPECT_EQ(array.psa->cLocks, 1u);
    EXPECT_EQ(SafeArrayDestroy(array.psa), DISP_E_ARRAYISLOCKED);
    EXPECT_EQ(SafeArrayDestroyData(array.psa), DISP_E_ARRAYISLOCKED);
    EXPECT_EQ(SafeArrayUnlock(array.psa), S_OK);
    EXPECT_EQ(SafeArrayUnlock(array.psa), E_UNEXPECTED);

    void* data = nullptr;
    ASSERT_EQ(SafeArrayAccessData(array.psa, &data), S_OK);
    EXPECT_EQ(data, array.psa->pvData);
    EXPECT_EQ(SafeArrayDestroy(array.psa), DISP_E_ARRAYISLOCKED);
    EXPECT_EQ(SafeArrayUnaccessData(array.psa), S_OK);
    EXPECT_EQ(array.psa->cLocks, 0u);

    // A variant holding a locked array is emptied, not freed: clearing or overwriting it fails,
    // and the array lives on for whoever locked it.
    VARIANT holder;
    ASSERT_EQ(SafeArrayLock(array.psa), S_OK);
    Var number;
    number.v.vt = VT_I4;
    number.v.lVal = 5;
    for (bool overwrite : {false, true}) {
        holder.vt = VT_ARRAY | VT_BSTR;
        holder.parray = array.psa;
        EXPECT_EQ(overwrite ? VariantCopy(&holder, &number.v) : VariantClear(&holder), DISP_E_ARRAYISLOCKED);
        EXPECT_EQ(holder.vt, VT_EMPTY) << overwrite;
    }
    EXPECT_EQ(SafeArrayGetDim(array.psa), 1u);
    EXPECT_EQ(SafeArrayUnlock(array.psa), S_OK);
}

TEST(SafeArray, StringElementsAreCopiedInAndOut) {
    Array array(SafeArrayCreateVector(VT_BSTR, 0, 2));
    EXPECT_TRUE(array.psa->fFeatures & FADF_BSTR);
    BSTR text = MakeBstr(u"строка");
    LONG index = 0;
    ASSERT_EQ(SafeArrayPutElement(array.psa, &index, text), S_OK);
    EXPECT_NE(static_cast<BSTR*>(array.psa->pvData)[0], text);
    ASSERT_EQ(SafeArrayPutElement(array.psa, &index, text), S_OK); // replaces and frees the first copy
    SysFreeString(text);

    BSTR out = nullptr;
    ASSERT_EQ(SafeArrayGetElement(array.psa, &index, &out), S_OK);
    EXPECT_EQ(TextOf(out), u"строка");
    EXPECT_NE(out, static_cast<BSTR*>(array.psa->pvData)[0]);
    SysFreeString(out);

    index = 1;
    out = MakeBstr(u"not read");
    BSTR previous = out;
    ASSERT_EQ(SafeArrayGetElement(array.psa, &index, &out), S_OK);
    EXPECT_EQ(out, nullptr);
    SysFreeString(previous);
}

TEST(SafeArray, VariantAndObjectElementsAreCopiedInAndOut) {
    Array array(SafeArrayCreateVector(VT_VARIANT, 0, 1));
    Var text;
    SetText(text, u"value");
    LONG index = 0;
    ASSERT_EQ(SafeArrayPutElement(array.psa, &index, &text.v), S_OK);
    EXPECT_NE(static_cast<VARIANT*>(array.psa->pvData)->bstrVal, text.v.bstrVal);
    EXPECT_EQ(TextAt(array.psa, 0), u"value");

    ValueObject object;
    {
        Array objects(SafeArrayCreateVector(VT_DISPATCH, 0, 1));
        EXPECT_TRUE(objects.psa->fFeatures & FADF_DISPATCH);
        ASSERT_EQ(SafeArrayPutElement(objects.psa, &index, static_cast<IDispatch*>(&object)), S_OK);
        EXPECT_EQ(object.references, 2);
        IDispatch* out = nullptr;
        ASSERT_EQ(SafeArrayGetElement(objects.psa, &index, &out), S_OK);
        EXPECT_EQ(out, &object);
        EXPECT_EQ(object.references, 3);
        out->Release();
        ASSERT_EQ(SafeArrayPutElement(objects.psa, &index, nullptr), S_OK);
        EXPECT_EQ(object.references, 1);
        ASSERT_EQ(SafeArrayPutElement(objects.psa, &index, static_cast<IDispatch*>(&object)), S_OK);
    }
    EXPECT_EQ(object.references, 1); // released with the array
}

TEST(SafeArray, CopyIsDeep) {
    SAFEARRAYBOUND bounds[2] = {{2, 1}, {2, 0}};
    SAFEARRAY* original = SafeArrayCreate(VT_VARIANT, 2, bounds);
    Var text;
    SetText(text, u"глубоко");
    LONG index[2] = {2, 1};
    ASSERT_EQ(SafeArrayPutElement(original, index, &text.v), S_OK);

    SAFEARRAY* copied = nullptr;
    ASSERT_EQ(SafeArrayCopy(original, &copied), S_OK);
    Array copy(copied);
    ASSERT_NE(copy.psa, original);
    EXPECT_EQ(copy.psa->cLocks, 0u);
    EXPECT_EQ(copy.psa->rgsabound[1].lLbound, 1);
    VARTYPE vt = VT_EMPTY;
    EXPECT_EQ(SafeArrayGetVartype(copy.psa, &vt), S_OK);
    EXPECT_EQ(vt, VT_VARIANT);
    // Destroying the original leaves the copy's strings intact.
    ASSERT_EQ(SafeArrayDestroy(original), S_OK);
    Var item;
    ASSERT_EQ(SafeArrayGetElement(copy.psa, index, &item.v), S_OK);
    EXPECT_EQ(TextOf(item.v.bstrVal), u"глубоко");

    Array strings(SafeArrayCreateVector(VT_BSTR, 0, 1));
    BSTR word = MakeBstr(u"копия");
    LONG first = 0;
    SafeArrayPutElement(strings.psa, &first, word);
    SysFreeString(word);
    SAFEARRAY* stringCopy = nullptr;
    ASSERT_EQ(SafeArrayCopy(strings.psa, &stringCopy), S_OK);
    Array stringsCopy(stringCopy);
    EXPECT_NE(static_cast<BSTR*>(stringsCopy.psa->pvData)[0], static_cast<BSTR*>(strings.psa->pvData)[0]);
    EXPECT_EQ(TextOf(static_cast<BSTR*>(stringsCopy.psa->pvData)[0]), u"копия");

    SAFEARRAY* nothing = copy.psa;
    EXPECT_EQ(SafeArrayCopy(nullptr, &nothing), S_OK);
    EXPECT_EQ(nothing, nullptr);
}

TEST(SafeArray, DestroyDataReleasesTheElements) {
    SAFEARRAYBOUND bound = {2, 0};
    Array array(SafeArrayCreate(VT_BSTR, 1, &bound));
    BSTR word = MakeBstr(u"released");
    LONG index = 1;
    SafeArrayPutElement(array.psa, &index, word);
    SysFreeString(word);
    EXPECT_EQ(SafeArrayDestroyData(array.psa), S_OK);
    EXPECT_EQ(SafeArrayGetDim(array.psa), 1u);
}
