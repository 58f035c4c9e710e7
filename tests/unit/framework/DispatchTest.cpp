// The road of a host call: name lookup, argument copy-in, the two calling forms, write-back and
// the failure paths, through IDispatch exactly as a late-binding host uses it.
#include "FrameworkTestSupport.h"

#include "framework/uInData.h"

using namespace fwtest;

namespace {

DISPID Lookup(IDispatch* object, const WString& name, HRESULT* hr = nullptr, UINT cNames = 1) {
    std::vector<WString> names(cNames, name);
    std::vector<LPOLESTR> pointers;
    for (auto& n : names)
        pointers.push_back(const_cast<LPOLESTR>(n.c_str()));
    std::vector<DISPID> ids(cNames, 777);
    HRESULT r = object->GetIDsOfNames(IID_NULL, pointers.data(), cNames, LOCALE_USER_DEFAULT, ids.data());
    if (hr)
        *hr = r;
    for (UINT i = 1; i < cNames; ++i)
        EXPECT_EQ(ids[i], 777) << "only the first DISPID may be written";
    return ids[0];
}

class DispatchTest : public ::testing::Test {
protected:
    ComPtr<TTestObject> Object = TTestObject::Create();
    IDispatch* Disp() { return Object.Get(); }
};

} // namespace

// --- name lookup --------------------------------------------------------------------------

TEST_F(DispatchTest, NameLookupIgnoresCaseButNotLength) {
    HRESULT hr;
    EXPECT_EQ(Lookup(Disp(), W("OpenCheck"), &hr), idOpenCheck);
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(Lookup(Disp(), W("opencheck")), idOpenCheck);
    EXPECT_EQ(Lookup(Disp(), W("OPENCHECK")), idOpenCheck);
    EXPECT_EQ(Lookup(Disp(), W("OpenChec"), &hr), DISPID_UNKNOWN);
    EXPECT_EQ(hr, E_NOTIMPL);
    EXPECT_EQ(Lookup(Disp(), W("OpenCheckX"), &hr), DISPID_UNKNOWN);
    EXPECT_EQ(hr, E_NOTIMPL);
    EXPECT_EQ(Lookup(Disp(), W("Нет такого"), &hr), DISPID_UNKNOWN);
    EXPECT_EQ(hr, E_NOTIMPL);
}

TEST_F(DispatchTest, RepeatedLookupsAnswerAsTheFirstAndATableThatGrowsIsSeen) {
    for (int round = 0; round < 3; ++round) {
        EXPECT_EQ(Lookup(Disp(), W("Enable")), idEnable);
        EXPECT_EQ(Lookup(Disp(), W("enable")), idEnable);
        HRESULT hr;
        EXPECT_EQ(Lookup(Disp(), W("Enabl"), &hr), DISPID_UNKNOWN);
        EXPECT_EQ(hr, E_NOTIMPL);
    }
    // Spellings far longer than a name, which the system's comparison can still match where it
    // gives characters no weight (entries with names that long stand in for it here): answered,
    // and remembered only up to twice the longest name.
    for (std::size_t length : {std::size_t(510), std::size_t(511), std::size_t(100000)}) {
        Object->MethodTable()[5].Name = std::string(length, 'q');
        const std::size_t remembered = Object->RememberedNameCount();
        EXPECT_EQ(Lookup(Disp(), WString(length, u'Q')), 5);
        EXPECT_EQ(Object->RememberedNameCount(), remembered + (length == 510 ? 1 : 0)) << length;
    }
    // More spellings than are remembered: every one is still answered.
    for (int i = 0; i < 300; ++i) {
        WString name = W("OpenCheck");
        for (std::size_t c = 0; c < name.size(); ++c)
            if ((i >> (c % 9)) & 1)
                name[c] = static_cast<WCHAR>(name[c] ^ 0x20);
        ASSERT_EQ(Lookup(Disp(), name), idOpenCheck) << i;
    }
    EXPECT_EQ(Lookup(Disp(), W("Later")), DISPID_UNKNOWN);
    TMethodStruct later;
    later.Name = "Later";
    Object->MethodTable().push_back(later);
    EXPECT_EQ(Lookup(Disp(), W("Later")), static_cast<DISPID>(Object->MethodTable().size() - 1));
}

TEST_F(DispatchTest, DuplicateNameFindsTheFirstEntry) {
    EXPECT_EQ(Lookup(Disp(), W("opencheck")), idOpenCheck);
}

TEST_F(DispatchTest, CyrillicNamesMatchCaseInsensitively) {
    // Registration in ANSI as the device layers do it.
    Object->MethodTable()[3].Name = Utf8ToAnsi("Печать");
    EXPECT_EQ(Lookup(Disp(), W("ПЕЧАТЬ")), 3);
    EXPECT_EQ(Lookup(Disp(), W("печать")), 3);
}

TEST_F(DispatchTest, EmptyNameFindsTheFirstBlankEntryWhichFailsWhenCalled) {
    EXPECT_EQ(Lookup(Disp(), WString()), 0);
    THostCall call = Call(Disp(), 0, {});
    EXPECT_EQ(call.Hr, DISP_E_EXCEPTION);
    EXPECT_EQ(call.Excep.scode, 1001);
}

TEST_F(DispatchTest, OnlyTheFirstOfSeveralNamesIsLookedUp) {
    HRESULT hr;
    EXPECT_EQ(Lookup(Disp(), W("Echo"), &hr, 3), idEcho);
    EXPECT_EQ(hr, S_OK);
}

TEST_F(DispatchTest, NullPointersAndNoNamesAreRefusedWithoutWriting) {
    DISPID id = 5;
    WString echo = W("Echo");
    LPOLESTR name = const_cast<LPOLESTR>(echo.c_str());
    EXPECT_EQ(Disp()->GetIDsOfNames(IID_NULL, nullptr, 1, 0, &id), E_POINTER);
    EXPECT_EQ(Disp()->GetIDsOfNames(IID_NULL, &name, 1, 0, nullptr), E_POINTER);
    EXPECT_EQ(Disp()->GetIDsOfNames(IID_NULL, &name, 0, 0, &id), E_INVALIDARG);
    EXPECT_EQ(id, 5);
    LPOLESTR nullName = nullptr;
    EXPECT_EQ(Disp()->GetIDsOfNames(IID_NULL, &nullName, 1, 0, &id), S_OK);
    EXPECT_EQ(id, 0) << "a null BSTR is the empty name";
}

TEST_F(DispatchTest, TypeInfoIsNotOffered) {
    UINT count = 9;
    EXPECT_EQ(Disp()->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 0u);
    ITypeInfo* info = nullptr;
    EXPECT_EQ(Disp()->GetTypeInfo(0, 0, &info), E_NOTIMPL);
}

TEST_F(DispatchTest, ObjectAnswersItsInterfaces) {
    ComPtr<IUnknown> unknown = Object.As<IUnknown>(IID_IUnknown);
    ComPtr<IDispatch> dispatch = Object.As<IDispatch>(IID_IDispatch);
    ComPtr<ISupportErrorInfo> errorInfo = Object.As<ISupportErrorInfo>(IID_ISupportErrorInfo);
    ASSERT_TRUE(unknown && dispatch && errorInfo);
    EXPECT_EQ(static_cast<void*>(unknown.Get()), static_cast<void*>(dispatch.Get()));
    EXPECT_EQ(errorInfo->InterfaceSupportsErrorInfo(IID_IDispatch), S_OK);
    EXPECT_FALSE(Object.As<IClassFactory>(IID_IClassFactory));
}

TEST_F(DispatchTest, EveryObjectHasItsOwnBracedInstanceID) {
    ComPtr<TTestObject> other = TTestObject::Create();
    const std::string& id = Object->InstanceID();
    ASSERT_EQ(id.size(), 38u);
    EXPECT_EQ(id.front(), '{');
    EXPECT_EQ(id.back(), '}');
    for (char c : id)
        EXPECT_TRUE(c == '{' || c == '}' || c == '-' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) << id;
    EXPECT_NE(id, other->InstanceID());
}

// --- refused calls --------------------------------------------------------------------------

TEST_F(DispatchTest, CallsWithoutTheMethodFlagOrOutsideTheTableFail) {
    Variant x(1);
    for (DISPID id : {DISPID(0), DISPID(idEcho), DISPID(idOpenCheck)}) {
        std::vector<VARIANT> args{ByVal(x)};
        EXPECT_EQ(Call(Disp(), id, args, DISPATCH_PROPERTYGET).Hr, E_FAIL);
        EXPECT_EQ(Call(Disp(), id, args, DISPATCH_PROPERTYPUT).Hr, E_FAIL);
    }
    for (DISPID id : {-1, -5, 17, 99999, 100000, 0x7FFFFFFF}) {
        std::vector<VARIANT> args{ByVal(x)};
        EXPECT_EQ(Call(Disp(), id, args).Hr, E_FAIL) << id;
    }
    // A method call that also asks for a property is still a method call.
    std::vector<VARIANT> args{ByVal(x)};
    THostCall call = Call(Disp(), idEcho, args, DISPATCH_METHOD | DISPATCH_PROPERTYGET);
    EXPECT_EQ(call.Hr, S_OK);
    EXPECT_EQ(call.Result.AsInteger(), 1);
}

TEST_F(DispatchTest, ArgumentsWithoutAnArrayAreRefused) {
    DISPPARAMS dp{};
    dp.cArgs = 2;
    Variant result;
    EXPECT_EQ(Disp()->Invoke(idEcho, IID_NULL, 0, DISPATCH_METHOD, &dp, result.Get(), nullptr, nullptr),
              E_INVALIDARG);
    // No DISPPARAMS at all is a call without arguments.
    EXPECT_EQ(Disp()->Invoke(idEcho, IID_NULL, 0, DISPATCH_METHOD, nullptr, result.Get(), nullptr, nullptr), S_OK);
    EXPECT_TRUE(result.IsEmpty());
}

// --- copy-in ------------------------------------------------------------------------------------

TEST_F(DispatchTest, ArgumentsArriveInCallOrderWithReferencesResolvedAndShortsWidened) {
    Variant text(W("abc"));
    Variant inner = Variant::FromI2(7);
    VARIANT toInner = ByRef(inner);
    Variant outer = Variant::CopyOf(toInner); // a reference to a reference
    LONG typed = 42;
    VARIANT byRefLong;
    VariantInit(&byRefLong);
    byRefLong.vt = VT_BYREF | VT_I4;
    byRefLong.plVal = &typed;

    std::vector<VARIANT> args{ByVal(text), ByRef(outer), byRefLong, ByVal(Variant::FromI2(-3))};
    THostCall call = Call(Disp(), idEcho, args);
    ASSERT_EQ(call.Hr, S_OK);
    ASSERT_EQ(Object->RawSeen.size(), 4u);
    EXPECT_EQ(Object->RawSeen[0].Type(), VT_BSTR);
    EXPECT_EQ(U8(Object->RawSeen[0].AsWide()), "abc");
    EXPECT_EQ(Object->RawSeen[1].Type(), VT_I4);
    EXPECT_EQ(Object->RawSeen[1].AsInteger(), 7);
    EXPECT_EQ(Object->RawSeen[2].Type(), VT_I4);
    EXPECT_EQ(Object->RawSeen[2].AsInteger(), 42);
    EXPECT_EQ(Object->RawSeen[3].Type(), VT_I4);
    EXPECT_EQ(Object->RawSeen[3].AsInteger(), -3);
    EXPECT_EQ(call.Result.Type(), VT_BSTR);
}

TEST_F(DispatchTest, EndlessOrBrokenReferenceChainsAreRefusedCleanly) {
    VARIANT cycle;
    VariantInit(&cycle);
    cycle.vt = VT_BYREF | VT_VARIANT;
    cycle.pvarVal = &cycle;
    std::vector<VARIANT> args{cycle};
    THostCall call = Call(Disp(), idEcho, args);
    EXPECT_EQ(call.Hr, DISP_E_EXCEPTION);
    EXPECT_EQ(call.Excep.scode, 1001);
    EXPECT_EQ(call.Description(), "Ошибка входных параметров команды");

    VARIANT dangling;
    VariantInit(&dangling);
    dangling.vt = VT_BYREF | VT_VARIANT;
    dangling.pvarVal = nullptr;
    std::vector<VARIANT> args2{dangling};
    EXPECT_EQ(Call(Disp(), idEcho, args2).Hr, DISP_E_EXCEPTION);
}

// --- commands -----------------------------------------------------------------------------------

TEST_F(DispatchTest, CommandRunsWithInDataAndTimeoutAndReturnsTrueWithOutData) {
    Object->NextOutData = MakeVariantArray({Variant(1), Variant(2)});
    Variant inData = MakeVariantArray({Variant(5), Variant(W("x"))});
    Variant outData(W("host's old value"));
    std::vector<VARIANT> args{ByVal(inData), ByRef(outData), ByVal(Variant::FromI2(30))};
    THostCall call = Call(Disp(), idOpenCheck, args);
    ASSERT_EQ(call.Hr, S_OK);
    EXPECT_EQ(Object->CommandCalls, 1);
    EXPECT_EQ(Object->SeenTimeout, 30);
    EXPECT_TRUE(Object->SeenInData.IsArray());
    EXPECT_EQ(call.Result.Type(), VT_BOOL);
    EXPECT_TRUE(call.Result.AsBoolean());
    ASSERT_TRUE(outData.IsArray());
    ArrayReader out(outData.Raw());
    EXPECT_EQ(out.Count(), 2);
    EXPECT_EQ(out.Item(1).AsInteger(), 2);
}

TEST_F(DispatchTest, HostsOutDataIsDiscardedBeforeTheHandlerRuns) {
    Variant outData(W("stale"));
    std::vector<VARIANT> args{ByVal(Variant()), ByRef(outData), ByVal(Variant(0))};
    ASSERT_EQ(Call(Disp(), idOpenCheck, args).Hr, S_OK);
    EXPECT_TRUE(outData.IsEmpty()) << "the handler left OutData alone, so the host gets Empty back";
}

TEST_F(DispatchTest, FailedCommandReturnsFalseAndTheErrorArray) {
    Object->NextCode = 1004;
    Variant outData;
    std::vector<VARIANT> args{ByVal(Variant()), ByRef(outData), ByVal(Variant(0))};
    THostCall call = Call(Disp(), idOpenCheck, args);
    EXPECT_EQ(call.Hr, S_OK);
    EXPECT_FALSE(call.Result.AsBoolean());
    ASSERT_TRUE(outData.IsArray());
    ArrayReader out(outData.Raw());
    EXPECT_EQ(out.Dims(), 1u);
    EXPECT_EQ(out.Lower(), 0);
    EXPECT_EQ(out.Upper(), 1);
    EXPECT_EQ(out.Item(0).Type(), VT_I4);
    EXPECT_EQ(out.Item(0).AsInteger(), 1004);
    EXPECT_EQ(out.Item(1).Type(), VT_BSTR);
    EXPECT_EQ(U8(out.Item(1).AsWide()), "Ошибка входных параметров команды");

    Object->NextCode = 3001;
    Object->NextText = W("Кончилась бумага");
    Call(Disp(), idOpenCheck, args);
    EXPECT_EQ(U8(ArrayReader(outData.Raw()).Item(1).AsWide()), "Кончилась бумага");
}

TEST_F(DispatchTest, CommandHandlerExceptionBecomesCode1001WithItsMessage) {
    Object->ThrowInCommand = true;
    Variant outData;
    std::vector<VARIANT> args{ByVal(Variant()), ByRef(outData), ByVal(Variant(0))};
    THostCall call = Call(Disp(), idOpenCheck, args);
    EXPECT_EQ(call.Hr, S_OK);
    EXPECT_FALSE(call.Result.AsBoolean());
    ArrayReader out(outData.Raw());
    EXPECT_EQ(out.Item(0).AsInteger(), 1001);
    EXPECT_EQ(U8(out.Item(1).AsWide()), "Сбой");
}

TEST_F(DispatchTest, CommandWithoutAnOrdinalTimeoutIsRefusedWithoutRunning) {
    Variant outData(W("unchanged"));
    const Variant badTimeouts[] = {Variant(W("100")), Variant(100.0), Variant(), Variant::Null(),
                                   Variant::FromCurrency(Cy(10000))};
    for (const Variant& timeout : badTimeouts) {
        std::vector<VARIANT> args{ByVal(Variant()), ByRef(outData), ByVal(timeout)};
        THostCall call = Call(Disp(), idOpenCheck, args);
        EXPECT_EQ(call.Hr, E_INVALIDARG) << timeout.Type();
        EXPECT_TRUE(call.Result.IsEmpty());
    }
    std::vector<VARIANT> twoArgs{ByVal(Variant()), ByRef(outData)};
    EXPECT_EQ(Call(Disp(), idOpenCheck, twoArgs).Hr, E_INVALIDARG);
    EXPECT_EQ(Object->CommandCalls, 0);
    EXPECT_EQ(U8(outData.AsWide()), "unchanged") << "nothing is written back";

    // Booleans and bytes are ordinal.
    std::vector<VARIANT> boolTimeout{ByVal(Variant()), ByRef(outData), ByVal(Variant(true))};
    EXPECT_EQ(Call(Disp(), idOpenCheck, boolTimeout).Hr, S_OK);
    EXPECT_EQ(Object->SeenTimeout, -1);
}

TEST_F(DispatchTest, OutDataPassedByValueLeavesTheHostsValueAlone) {
    Object->NextOutData = Variant(W("answer"));
    Variant outData(W("mine"));
    std::vector<VARIANT> args{ByVal(Variant()), ByVal(outData), ByVal(Variant(0))};
    const VARIANT before = args[1];
    THostCall call = Call(Disp(), idOpenCheck, args);
    EXPECT_EQ(call.Hr, S_OK);
    EXPECT_TRUE(call.Result.AsBoolean());
    EXPECT_EQ(args[1].vt, before.vt);
    EXPECT_EQ(args[1].bstrVal, before.bstrVal) << "the host's string must not be freed or replaced";
    EXPECT_EQ(U8(outData.AsWide()), "mine");
}

TEST_F(DispatchTest, InDataPassedByReferenceComesBackUnchanged) {
    Variant inData = MakeVariantArray({Variant(1), Variant(W("x"))});
    Variant outData;
    std::vector<VARIANT> args{ByRef(inData), ByRef(outData), ByVal(Variant(0))};
    ASSERT_EQ(Call(Disp(), idOpenCheck, args).Hr, S_OK);
    ASSERT_TRUE(inData.IsArray());
    ArrayReader in(inData.Raw());
    EXPECT_EQ(in.Count(), 2);
    EXPECT_EQ(U8(in.Item(1).AsWide()), "x");
}

TEST_F(DispatchTest, InDataIsLentToTheCommandAndStaysTheHostsOwn) {
    // By value, by reference, and one variable passed as both InData and OutData: the host's
    // array is the very one it passed (not freed, not replaced) unless OutData replaced it.
    Object->NextOutData = Variant(W("answer"));
    Variant inData = MakeVariantArray({Variant(7), Variant(W("x"))});
    SAFEARRAY* const array = inData.Raw().parray;
    Variant outData;
    std::vector<VARIANT> byValue{ByVal(inData), ByRef(outData), ByVal(Variant(0))};
    ASSERT_EQ(Call(Disp(), idOpenCheck, byValue).Hr, S_OK);
    std::vector<VARIANT> byRef{ByRef(inData), ByRef(outData), ByVal(Variant(0))};
    ASSERT_EQ(Call(Disp(), idOpenCheck, byRef).Hr, S_OK);
    EXPECT_EQ(inData.Raw().parray, array);
    EXPECT_EQ(ArrayReader(inData.Raw()).Item(0).AsInteger(), 7);
    EXPECT_EQ(ArrayReader(Object->SeenInData.Raw()).Item(1).AsAnsi(), "x");
    EXPECT_EQ(U8(outData.AsWide()), "answer");

    Object->ThrowInCommand = true;
    ASSERT_EQ(Call(Disp(), idOpenCheck, byValue).Hr, S_OK);
    EXPECT_EQ(inData.Raw().parray, array) << "a failed command leaves it too";

    Variant both = MakeVariantArray({Variant(1)});
    Object->ThrowInCommand = false;
    std::vector<VARIANT> same{ByRef(both), ByRef(both), ByVal(Variant(0))};
    ASSERT_EQ(Call(Disp(), idOpenCheck, same).Hr, S_OK);
    EXPECT_TRUE(Object->SeenInData.IsArray());
    EXPECT_EQ(U8(both.AsWide()), "answer") << "OutData wins, and the array it replaced is freed once";
}

TEST_F(DispatchTest, ACallMadeFromInsideACommandHasArgumentsOfItsOwn) {
    Variant nestedResult;
    Object->DuringCommand = [&] {
        Variant inner(W("inner"));
        nestedResult = Call(Disp(), idEcho, {ByVal(Variant(1)), ByVal(inner), ByVal(Variant(3))}).Result;
    };
    Object->NextOutData = Variant(W("outer"));
    Variant inData = MakeVariantArray({Variant(5)});
    for (int round = 0; round < 2; ++round) {
        Variant outData;
        ASSERT_EQ(Call(Disp(), idOpenCheck, {ByVal(inData), ByRef(outData), ByVal(Variant(9))}).Hr, S_OK);
        EXPECT_EQ(Object->SeenTimeout, 9);
        EXPECT_EQ(U8(outData.AsWide()), "outer");
        ASSERT_EQ(Object->RawSeen.size(), 3u);
        EXPECT_EQ(U8(Object->RawSeen[1].AsWide()), "inner");
        EXPECT_EQ(nestedResult.AsInteger(), 1);
    }
    // Calls with other argument counts in between, then the first again.
    EXPECT_EQ(Call(Disp(), idEcho, {ByVal(Variant(4))}).Result.AsInteger(), 4);
    EXPECT_EQ(Object->RawSeen.size(), 1u);
    Call(Disp(), idEcho, {});
    EXPECT_TRUE(Object->RawSeen.empty());
    Object->DuringCommand = nullptr;
    Variant outData(W("old"));
    ASSERT_EQ(Call(Disp(), idOpenCheck, {ByVal(inData), ByRef(outData), ByVal(Variant(2))}).Hr, S_OK);
    EXPECT_EQ(U8(outData.AsWide()), "outer");
}

TEST_F(DispatchTest, ResultPointerIsOptional) {
    Variant outData;
    std::vector<VARIANT> rgvarg{ByVal(Variant(0)), ByRef(outData), ByVal(Variant())};
    DISPPARAMS dp{rgvarg.data(), nullptr, 3, 0};
    EXPECT_EQ(Disp()->Invoke(idOpenCheck, IID_NULL, 0, DISPATCH_METHOD, &dp, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(Object->CommandCalls, 1);
}

// --- raw methods and write-back ------------------------------------------------------------------

TEST_F(DispatchTest, RawMethodExceptionBecomesDispException) {
    Variant result(W("untouched"));
    std::vector<VARIANT> rgvarg{ByVal(Variant(1))};
    DISPPARAMS dp{rgvarg.data(), nullptr, 1, 0};
    EXCEPINFO excep{};
    excep.wCode = 0;
    excep.dwHelpContext = 77;
    EXPECT_EQ(Disp()->Invoke(idRaise, IID_NULL, 0, DISPATCH_METHOD, &dp, result.Get(), &excep, nullptr),
              DISP_E_EXCEPTION);
    EXPECT_EQ(excep.scode, 1001);
    EXPECT_EQ(WideToUtf8(excep.bstrDescription), "broken н");
    EXPECT_EQ(WideToUtf8(excep.bstrSource), "EInputError");
    EXPECT_EQ(excep.dwHelpContext, 77u) << "other fields stay as the host gave them";
    EXPECT_EQ(U8(result.AsWide()), "untouched");
    SysFreeString(excep.bstrDescription);
    SysFreeString(excep.bstrSource);
    // Without an EXCEPINFO the failure still arrives.
    EXPECT_EQ(Disp()->Invoke(idRaise, IID_NULL, 0, DISPATCH_METHOD, &dp, nullptr, nullptr, nullptr),
              DISP_E_EXCEPTION);
}

TEST_F(DispatchTest, RawMethodWritesOnlyArgumentsTheHostPassed) {
    Object->PutIndex = 3;
    Object->PutValue = Variant(9);
    std::vector<VARIANT> args{ByVal(Variant(1))};
    THostCall call = Call(Disp(), idPut, args);
    EXPECT_EQ(call.Hr, S_OK);
    EXPECT_TRUE(call.Result.AsBoolean());
}

TEST_F(DispatchTest, WriteBackConvertsIntoEveryTypedReference) {
    SHORT i2 = 0;
    USHORT ui2 = 0;
    LONG i4 = 0;
    ULONG ui4 = 0;
    FLOAT r4 = 0;
    DOUBLE r8 = 0;
    DATE date = 0;
    CY cy{};
    VARIANT_BOOL b = 0;
    BYTE ui1 = 0;
    BSTR text = SysAllocString(W("old").c_str());
    struct {
        VARIANT Target;
        Variant Value;
    } cases[] = {
        {TypedRef(VT_I2, &i2), Variant(W("-12"))},
        {TypedRef(VT_UI2, &ui2), Variant(65000)},
        {TypedRef(VT_I4, &i4), Variant(true)},
        {TypedRef(VT_UI4, &ui4), Variant(W("4000000000"))},
        {TypedRef(VT_R4, &r4), Variant(1.5)},
        {TypedRef(VT_R8, &r8), Variant(W("2,25"))},
        {TypedRef(VT_DATE, &date), Variant::FromDate(45000.5)},
        {TypedRef(VT_CY, &cy), Variant(12.34567)},
        {TypedRef(VT_BOOL, &b), Variant(5)},
        {TypedRef(VT_UI1, &ui1), Variant(200)},
        {TypedRef(VT_BSTR, &text), Variant(77)},
    };
    for (auto& c : cases) {
        Object->PutIndex = 0;
        Object->PutValue = c.Value;
        std::vector<VARIANT> args{c.Target};
        EXPECT_EQ(Call(Disp(), idPut, args).Hr, S_OK) << c.Target.vt;
    }
    EXPECT_EQ(i2, -12);
    EXPECT_EQ(ui2, 65000);
    EXPECT_EQ(i4, -1);
    EXPECT_EQ(ui4, 4000000000u);
    EXPECT_EQ(r4, 1.5f);
    EXPECT_EQ(r8, 2.25);
    EXPECT_EQ(date, 45000.5);
    EXPECT_EQ(cy.int64, 123457) << "currency keeps four decimals, rounded";
    EXPECT_EQ(b, VARIANT_TRUE);
    EXPECT_EQ(ui1, 200);
    EXPECT_EQ(WideToUtf8(text), "77");
    SysFreeString(text);
}

TEST_F(DispatchTest, WriteBackIntoAnInterfaceReferenceReplacesIt) {
    ComPtr<TTestObject> first = TTestObject::Create();
    ComPtr<TTestObject> second = TTestObject::Create();
    IDispatch* slot = first.Get();
    first->AddRef(); // the reference the slot holds
    VARIANT target;
    VariantInit(&target);
    target.vt = VT_BYREF | VT_DISPATCH;
    target.ppdispVal = &slot;
    Object->PutValue = Variant::FromDispatch(second.Get());
    std::vector<VARIANT> args{target};
    EXPECT_EQ(Call(Disp(), idPut, args).Hr, S_OK);
    EXPECT_EQ(slot, static_cast<IDispatch*>(second.Get()));
    Object->PutValue.Reset();
    EXPECT_EQ(first->AddRef(), 2u) << "the old interface was released";
    first->Release();
    EXPECT_EQ(slot->Release(), 1u) << "the new interface is held once by the slot";
}

TEST_F(DispatchTest, WriteBackIntoAVariantReferenceCopiesTheWholeValue) {
    Object->PutValue = MakeVariantArray({Variant(1), MakeVariantArray({Variant(W("deep"))})});
    Variant variable(W("old"));
    Variant middle;
    *middle.Get() = ByRef(variable); // the host variable behind a second reference
    std::vector<VARIANT> args{ByRef(middle)};
    ASSERT_EQ(Call(Disp(), idPut, args).Hr, S_OK);
    ASSERT_TRUE(variable.IsArray());
    ArrayReader outer(variable.Raw());
    EXPECT_EQ(outer.Item(0).AsInteger(), 1);
    Variant inner = outer.Item(1);
    EXPECT_EQ(U8(ArrayReader(inner.Raw()).Item(0).AsWide()), "deep");
}

TEST_F(DispatchTest, WriteBackRefusesReferencesOfOtherTypes) {
    SCODE big = 0;
    VARIANT target;
    VariantInit(&target);
    target.vt = VT_BYREF | VT_ERROR;
    target.pscode = &big;
    Object->PutValue = Variant(5);
    Variant result(W("untouched"));
    std::vector<VARIANT> rgvarg{target};
    DISPPARAMS dp{rgvarg.data(), nullptr, 1, 0};
    EXCEPINFO excep{};
    EXPECT_EQ(Disp()->Invoke(idPut, IID_NULL, 0, DISPATCH_METHOD, &dp, result.Get(), &excep, nullptr),
              DISP_E_EXCEPTION);
    EXPECT_EQ(excep.scode, 1001);
    EXPECT_EQ(WideToUtf8(excep.bstrDescription), "Ошибка входных параметров команды");
    EXPECT_EQ(big, 0);
    EXPECT_EQ(U8(result.AsWide()), "untouched");
    SysFreeString(excep.bstrDescription);
    SysFreeString(excep.bstrSource);
}

TEST_F(DispatchTest, WriteBackConversionFailureIsAFailedCallNotACrash) {
    LONG target = 7;
    VARIANT ref;
    VariantInit(&ref);
    ref.vt = VT_BYREF | VT_I4;
    ref.plVal = &target;
    Object->PutValue = Variant(W("not a number"));
    std::vector<VARIANT> args{ref};
    THostCall call = Call(Disp(), idPut, args);
    EXPECT_EQ(call.Hr, DISP_E_EXCEPTION);
    EXPECT_EQ(call.Excep.scode, 1001);
    EXPECT_EQ(call.Source(), "EConversionError");
    EXPECT_EQ(target, 7);
}

// --- write-back of a command that has done its work ---------------------------------------------

namespace {

// A command called with OutData in a typed host variable.
THostCall CommandInto(IDispatch* object, VARIANT outData) {
    std::vector<VARIANT> args{ByVal(Variant()), outData, ByVal(Variant(0))};
    return Call(object, idOpenCheck, args);
}

} // namespace

TEST_F(DispatchTest, CommandWritesItsArraysIntoATypedArrayVariable) {
    // A compiled host's dynamic array of Variants: never dimensioned, then holding an old array.
    SAFEARRAY* hostArray = nullptr;
    Object->NextOutData = MakeVariantArray({Variant(7), Variant(W("x"))});
    THostCall call = CommandInto(Disp(), TypedRef(VT_ARRAY | VT_VARIANT, &hostArray));
    ASSERT_EQ(call.Hr, S_OK);
    EXPECT_TRUE(call.Result.AsBoolean());
    ASSERT_NE(hostArray, nullptr);
    Variant received = Variant::FromArray(hostArray);
    EXPECT_EQ(U8(ArrayReader(received.Raw()).Item(1).AsWide()), "x");
    hostArray = received.Detach().parray;

    Object->NextCode = 1004;
    THostCall failed = CommandInto(Disp(), TypedRef(VT_ARRAY | VT_VARIANT, &hostArray));
    EXPECT_EQ(failed.Hr, S_OK);
    EXPECT_FALSE(failed.Result.AsBoolean());
    received = Variant::FromArray(hostArray);
    EXPECT_EQ(ArrayReader(received.Raw()).Item(0).AsInteger(), 1004) << "the error array replaced the old one";

    // The same host passes its InData array variable, which comes back as it went.
    Object->NextCode = 0;
    SAFEARRAY* hostIn = MakeVariantArray({Variant(5)}).Detach().parray;
    Variant outData;
    std::vector<VARIANT> args{TypedRef(VT_ARRAY | VT_VARIANT, &hostIn), ByRef(outData), ByVal(Variant(0))};
    THostCall withInData = Call(Disp(), idOpenCheck, args);
    EXPECT_EQ(withInData.Hr, S_OK);
    EXPECT_TRUE(withInData.Result.AsBoolean());
    EXPECT_EQ(ArrayReader(Object->SeenInData.Raw()).Item(0).AsInteger(), 5);
    const Variant in = Variant::FromArray(hostIn);
    EXPECT_EQ(ArrayReader(in.Raw()).Item(0).AsInteger(), 5);
}

TEST_F(DispatchTest, CommandConvertsIntoEveryIntegerWidth) {
    LONGLONG i8 = 0;
    ULONGLONG ui8 = 0;
    CHAR i1 = 0;
    INT i = 0;
    UINT ui = 0;
    Object->NextOutData = Variant(100);
    for (VARIANT target : {TypedRef(VT_I8, &i8), TypedRef(VT_UI8, &ui8), TypedRef(VT_I1, &i1),
                           TypedRef(VT_INT, &i), TypedRef(VT_UINT, &ui)}) {
        THostCall call = CommandInto(Disp(), target);
        EXPECT_EQ(call.Hr, S_OK) << target.vt;
        EXPECT_TRUE(call.Result.AsBoolean()) << target.vt;
    }
    EXPECT_EQ(i8, 100);
    EXPECT_EQ(ui8, 100u);
    EXPECT_EQ(i1, 100);
    EXPECT_EQ(i, 100);
    EXPECT_EQ(ui, 100u);
}

TEST_F(DispatchTest, CommandResultStandsWhenOutDataCannotBeStoredAndTheLogSaysSo) {
    // What is found out only once the answer is there: a value the variable's type cannot hold.
    TTempFolder folder;
    Object->SetLogPath(folder.Ansi());
    Object->SetTraceEnabled(true);
    LONG number = 9;
    BSTR text = nullptr;
    Object->NextOutData = MakeVariantArray({Variant(1)});
    for (VARIANT target : {TypedRef(VT_I4, &number), TypedRef(VT_BSTR, &text)}) {
        THostCall call = CommandInto(Disp(), target);
        EXPECT_EQ(call.Hr, S_OK) << target.vt;
        EXPECT_TRUE(call.Result.AsBoolean()) << "the command did its work; " << target.vt;
    }
    EXPECT_EQ(number, 9);
    EXPECT_EQ(text, nullptr);
    std::string log;
    for (const auto& file : std::filesystem::directory_iterator(folder.Path))
        log += ReadFile(file.path().string());
    std::size_t skipped = 0;
    for (std::size_t at = log.find("argument 1 was not written back"); at != std::string::npos;
         at = log.find("argument 1 was not written back", at + 1))
        ++skipped;
    EXPECT_EQ(skipped, 2u) << log;
    EXPECT_NE(log.find("\tEXCEPTION: \tEConversionError: "), std::string::npos) << log;
}

TEST_F(DispatchTest, OutDataThatCanTakeNoAnswerIsRefusedBeforeTheCommandRuns) {
    SCODE error = 3;
    DECIMAL decimal{};
    IUnknown* unknown = nullptr;
    SAFEARRAYBOUND bound{2, 0};
    SAFEARRAY* strings = SafeArrayCreate(VT_BSTR, 1, &bound);
    SAFEARRAY* locked = SafeArrayCreate(VT_VARIANT, 1, &bound);
    SAFEARRAY* fixed = SafeArrayCreate(VT_VARIANT, 1, &bound);
    SafeArrayLock(locked);
    fixed->fFeatures |= FADF_FIXEDSIZE;
    Variant variable = Variant::FromArray(SafeArrayCreate(VT_VARIANT, 1, &bound));
    SafeArrayLock(variable.Raw().parray);
    Object->NextOutData = MakeVariantArray({Variant(1)});
    for (VARIANT target : {TypedRef(VT_I4, nullptr), TypedRef(VT_BSTR, nullptr), TypedRef(VT_ARRAY | VT_VARIANT, nullptr),
                           TypedRef(VT_ERROR, &error), TypedRef(VT_DECIMAL, &decimal), TypedRef(VT_RECORD, &decimal),
                           TypedRef(VT_UNKNOWN, &unknown), TypedRef(VT_ARRAY | VT_BSTR, &strings),
                           TypedRef(VT_ARRAY | VT_VARIANT, &locked), TypedRef(VT_ARRAY | VT_VARIANT, &fixed),
                           ByRef(variable)}) {
        THostCall call = CommandInto(Disp(), target);
        EXPECT_EQ(call.Hr, DISP_E_EXCEPTION) << target.vt;
        EXPECT_EQ(call.Excep.scode, 1001) << target.vt;
    }
    EXPECT_EQ(Object->CommandCalls, 0);
    EXPECT_EQ(error, 3);
    SafeArrayUnlock(variable.Raw().parray);
    SafeArrayUnlock(locked);
    fixed->fFeatures &= ~FADF_FIXEDSIZE;
    for (SAFEARRAY* array : {strings, locked, fixed})
        EXPECT_EQ(SafeArrayDestroy(array), S_OK);
}
