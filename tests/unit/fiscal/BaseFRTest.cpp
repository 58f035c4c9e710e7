// The fiscal commands as the host calls them: the method table, the input check of each command,
// what reaches the operations and how their results come back.
#include "FiscalTestSupport.h"

#include "framework/uEquipmentErrors.h"
#include "framework/uLocalClock.h"

using namespace fiscaltest;

namespace {

// A fiscal register whose operations note what they were given and answer Code.
class TRecordingFR : public TBaseFR {
public:
    static ComPtr<TRecordingFR> Create() { return CreateComObject<TRecordingFR>(); }
    LONG Code = 0;
    std::vector<std::string> Calls;
    std::string Arg0, Arg1;
    LONG Kind = 0, Value3 = -1;
    CY Amount{};
    DATE Date1 = 0, Date2 = 0;

    LONG DoOpenDay(const std::string& a0, const std::string& a1, TFiscalDocResult& r, WString&) override {
        Calls.push_back("DoOpenDay");
        Arg0 = a0;
        Arg1 = a1;
        r.Number1 = 5;
        return Code;
    }
    LONG DoPrintReceipt(const Variant&, const Variant&, const Variant&, TFiscalDocResult&,
                        WString&) override {
        Calls.push_back("DoPrintReceipt");
        return Code;
    }
    LONG DoEncash(LONG kind, CY amount, TFiscalDocResult&, WString&) override {
        Calls.push_back("DoEncash");
        Kind = kind;
        Amount = amount;
        return Code;
    }
    LONG DoPrintExtReport(LONG kind, DATE d1, DATE d2, LONG v3, LONG, LONG, TFiscalDocResult&,
                          WString&) override {
        Calls.push_back("DoPrintExtReport");
        Kind = kind;
        Date1 = d1;
        Date2 = d2;
        Value3 = v3;
        return Code;
    }
    LONG DoPrintTemplateDocument(const Variant&, LONG, LONG, WString&) override {
        Calls.push_back("DoPrintTemplateDocument");
        return Code;
    }
    LONG DoGetFPStateInfo(TFPStateInfo& states, WString&) override {
        Calls.push_back("DoGetFPStateInfo");
        states[5] = 0;
        return Code;
    }
    LONG DoSetDateTime(DATE, WString&) override {
        Calls.push_back("DoSetDateTime");
        return Code;
    }
    LONG DoPrintText(const std::string& text, WString& Text) override {
        Calls.push_back("DoPrintText " + AnsiToUtf8(text));
        if (Code)
            Text = W("paper jam");
        return Code;
    }
    LONG DoUploadTemplate(LONG, const std::string&, const Variant&, WString&) override {
        Calls.push_back("DoUploadTemplate");
        return Code;
    }
    LONG DoDownloadTemplate(LONG, std::string& description, Variant& table, WString&) override {
        Calls.push_back("DoDownloadTemplate");
        description = "d";
        table = MakeVariantArray({Variant(1)});
        return Code;
    }
};

Variant Arr(std::initializer_list<Variant> items) {
    return MakeVariantArray(items);
}
Variant Table2D() {
    return VariantArray2D(2, 2).Release();
}
Variant Date(double d) {
    return Variant::FromDate(d);
}
Variant Str(const char* s) {
    return Variant::FromUtf8(s);
}

struct TArgCase {
    DISPID Id;
    const char* Operation;
    std::function<Variant()> Bad;
    std::function<Variant()> Good;
};

} // namespace

TEST(BaseFR, TheEighteenCommandsFollowTheBaseOnesAtDispIds20To37) {
    ComPtr<TRecordingFR> fr = TRecordingFR::Create();
    const TMethodArray& methods = fr->Methods();
    ASSERT_EQ(methods.size(), 38u);
    const char* names[] = {"OpenDay",
                           "PrintReceipt",
                           "Encash",
                           "PrintXReport",
                           "PrintExtReport",
                           "PrintZReport",
                           "PrintTemplateDocument",
                           "GetCountersInfo",
                           "GetLastDocInfo",
                           "OpenDrawer",
                           "GetFPStateInfo",
                           "GetDateTime",
                           "SetDateTime",
                           "PrintText",
                           "UploadTemplate",
                           "DownloadTemplate",
                           "OpenCheck",
                           "CancelCheck"};
    for (int i = 0; i < 18; ++i) {
        EXPECT_EQ(methods[20 + i].Name, names[i]);
        EXPECT_EQ(methods[20 + i].Kind, mkCommand);
    }
    EXPECT_EQ(fr->DeviceInfo().DeviceKind, W("FiscalPrinter"));
}

TEST(BaseFR, EachCommandRefusesInputOfTheWrongShapeBeforeItsOperation) {
    const std::vector<TArgCase> cases = {
        {idPrintReceipt, "DoPrintReceipt",
         [] {
             return Arr({Table2D(), Table2D(), Variant(1)});
         },
         [] {
             return Arr({Table2D(), Table2D(), Arr({})});
         }},
        {idPrintReceipt, "DoPrintReceipt",
         [] {
             return Arr({Arr({Variant(1)}), Table2D(), Arr({})});
         },
         [] {
             return Arr({Table2D(), Table2D(), Arr({})});
         }},
        {idPrintReceipt, "DoPrintReceipt",
         [] {
             return Arr({Table2D(), Table2D(), Table2D()});
         },
         [] {
             return Arr({Table2D(), Table2D(), Arr({Variant(1)})});
         }},
        {idEncash, "DoEncash",
         [] {
             return Arr({Variant(0), Str("100")});
         },
         [] {
             return Arr({Variant(0), Variant(100.5)});
         }},
        {idEncash, "DoEncash",
         [] {
             return Arr({Variant(1.5), Variant(1)});
         },
         [] {
             return Arr({Variant(true), Variant::FromCurrency(fwtest::Cy(10000))});
         }},
        {idEncash, "DoEncash", [] { return Arr({Variant(0)}); },
         [] {
             return Arr({Variant(0), Variant(0)});
         }},
        {idPrintExtReport, "DoPrintExtReport", [] { return Arr({}); }, [] { return Arr({Variant(3)}); }},
        {idPrintExtReport, "DoPrintExtReport", [] { return Variant(3); }, [] { return Arr({Str("3")}); }},
        {idPrintExtReport, "DoPrintExtReport", [] { return Arr({Str("x")}); },
         [] { return Arr({Variant(3)}); }},
        {idPrintExtReport, "DoPrintExtReport",
         [] {
             return Arr({Variant(3), Str("not a date")});
         },
         [] {
             return Arr({Variant(3), Date(45000)});
         }},
        {idPrintTemplateDocument, "DoPrintTemplateDocument",
         [] {
             return Arr({Arr({}), Variant(1.5), Variant(0)});
         },
         [] {
             return Arr({Arr({}), Variant(1), Variant(0)});
         }},
        {idPrintTemplateDocument, "DoPrintTemplateDocument",
         [] {
             return Arr({Str("p"), Variant(1), Variant(0)});
         },
         [] {
             return Arr({Table2D(), Variant(1), Variant(0)});
         }},
        {idSetDateTime, "DoSetDateTime", [] { return Arr({Str("18.05.2024")}); },
         [] { return Arr({Date(45430)}); }},
        {idSetDateTime, "DoSetDateTime", [] { return Arr({Variant(45430.0)}); },
         [] { return Arr({Date(45430)}); }},
        {idPrintText, "DoPrintText x", [] { return Arr({Variant(5)}); }, [] { return Arr({Str("x")}); }},
        {idUploadTemplate, "DoUploadTemplate",
         [] {
             return Arr({Variant(1), Str("d"), Variant(5)});
         },
         [] {
             return Arr({Variant(1), Str("d"), Table2D()});
         }},
        {idUploadTemplate, "DoUploadTemplate",
         [] {
             return Arr({Str("1"), Str("d"), Table2D()});
         },
         [] {
             return Arr({Variant(1), Str("d"), Table2D()});
         }},
        {idDownloadTemplate, "DoDownloadTemplate", [] { return Arr({Str("1")}); },
         [] { return Arr({Variant(1)}); }},
        {idOpenDay, "DoOpenDay", [] { return Arr({Arr({})}); }, [] { return Arr({}); }},
    };
    for (const TArgCase& c : cases) {
        ComPtr<TRecordingFR> fr = TRecordingFR::Create();
        TCommandAnswer bad = Command(fr.Get(), c.Id, c.Bad());
        EXPECT_FALSE(bad.Ok) << c.Operation;
        EXPECT_EQ(bad.Code(), 1004) << c.Operation;
        EXPECT_EQ(bad.Text(), "Ошибка входных параметров команды");
        EXPECT_TRUE(fr->Calls.empty()) << c.Operation;
        if (c.Id != idOpenDay) {
            // Not an array at all, and an array not starting at 0, do not fit either.
            EXPECT_EQ(Command(fr.Get(), c.Id, Variant()).Code(), 1004) << c.Operation;
            SAFEARRAYBOUND bound{3, 1};
            Variant shifted = Variant::FromArray(SafeArrayCreate(VT_VARIANT, 1, &bound));
            EXPECT_EQ(Command(fr.Get(), c.Id, shifted).Code(), 1004) << c.Operation;
            EXPECT_TRUE(fr->Calls.empty()) << c.Operation;
        }
        // Nor does one whose label names other elements than it holds.
        Variant lying = c.Good();
        lying.Get()->vt = VT_ARRAY | VT_I4;
        EXPECT_EQ(Command(fr.Get(), c.Id, lying).Code(), 1004) << c.Operation;
        TCommandAnswer good = Command(fr.Get(), c.Id, c.Good());
        EXPECT_TRUE(good.Ok) << c.Operation;
        ASSERT_EQ(fr->Calls.size(), 1u) << c.Operation;
        EXPECT_EQ(fr->Calls[0], c.Operation);
    }
}

TEST(BaseFR, OpenDayTakesTwoOptionalTextsAndAnswersTheDocumentResult) {
    ComPtr<TRecordingFR> fr = TRecordingFR::Create();
    TCommandAnswer answer = Command(fr.Get(), idOpenDay, Arr({}));
    ASSERT_TRUE(answer.Ok);
    EXPECT_EQ(fr->Arg0, "");
    EXPECT_EQ(fr->Arg1, "");
    ArrayReader out(answer.OutData.Raw());
    ASSERT_EQ(out.Count(), 4);
    EXPECT_EQ(out.Item(0).Type(), VT_I4);
    EXPECT_EQ(out.Item(0).AsInteger(), 5);
    EXPECT_EQ(out.Item(1).AsInteger(), -1);
    EXPECT_EQ(out.Item(2).AsInteger(), -1);
    EXPECT_EQ(out.Item(3).Type(), VT_DATE);
    EXPECT_NEAR(out.Item(3).AsDate(), LocalNowAsDate(), 1.0 / 24 / 60);

    ASSERT_TRUE(Command(fr.Get(), idOpenDay, Arr({Variant(12), Variant::Null()})).Ok);
    EXPECT_EQ(fr->Arg0, "12");
    EXPECT_EQ(fr->Arg1, "");
}

TEST(BaseFR, ExtReportDefaultsItsDatesToNowAndItsValuesToZero) {
    ComPtr<TRecordingFR> fr = TRecordingFR::Create();
    ASSERT_TRUE(Command(fr.Get(), idPrintExtReport, Arr({Variant(3)})).Ok);
    EXPECT_EQ(fr->Kind, 3);
    EXPECT_NEAR(fr->Date1, LocalNowAsDate(), 1.0 / 24 / 60);
    EXPECT_EQ(fr->Date1, fr->Date2);
    EXPECT_EQ(fr->Value3, 0);
}

TEST(BaseFR, HostCodeRunDuringACommandCannotFreeTheInDataItLent) {
    // The command reads an element that is a host object, whose default property runs host code
    // that empties, replaces or passes back as OutData the very variable the command is reading;
    // the command then reads on. Both as a script passes a variable (by reference) and as a
    // careless compiled host passes a variable's bits (by value).
    enum TMove { Empty, Replace, ReEnter };
    struct TCase {
        DISPID Id;
        const char* Operation;
        Variant Answer; // what the default property answers
        LONG At;        // where the object sits in InData
    };
    const TCase cases[] = {{idOpenDay, "DoOpenDay", Str("7"), 0},
                           {idPrintExtReport, "DoPrintExtReport", Date(46000.5), 1}};
    for (const TCase& c : cases)
        for (TMove move : {Empty, Replace, ReEnter})
            for (bool byRef : {true, false}) {
                SCOPED_TRACE(std::string(c.Operation) + " move " + std::to_string(move) + (byRef ? " by ref" : " by value"));
                ComPtr<TRecordingFR> fr = TRecordingFR::Create();
                THostObject object;
                object.Value = c.Answer;
                Variant variable = c.At == 0 ? Arr({Variant::FromDispatch(&object), Str("x")})
                                             : Arr({Variant(3), Variant::FromDispatch(&object), Date(46001)});
                SAFEARRAY* const lent = variable.Raw().parray;
                HRESULT hostHr = S_OK;
                object.OnRead = [&] {
                    if (move == Empty) {
                        hostHr = VariantClear(variable.Get());
                    } else if (move == Replace) {
                        Variant other(5);
                        hostHr = VariantCopy(variable.Get(), other.Get());
                    } else {
                        std::vector<VARIANT> args{ByVal(Variant()), ByRef(variable), ByVal(Variant(0))};
                        hostHr = Call(fr.Get(), idGetFPStateInfo, args).Hr;
                    }
                };
                Variant outData;
                std::vector<VARIANT> args{byRef ? ByRef(variable) : ByVal(variable), ByRef(outData), ByVal(Variant(0))};
                THostCall call = Call(fr.Get(), c.Id, args);
                EXPECT_EQ(call.Hr, S_OK);
                EXPECT_EQ(object.Reads, 1);
                // The host's attempt failed on its side, cleanly, and the command went on.
                EXPECT_EQ(hostHr, move == ReEnter ? DISP_E_EXCEPTION : DISP_E_ARRAYISLOCKED);
                EXPECT_EQ(fr->Calls, std::vector<std::string>{c.Operation});
                // The runtime empties a variable whose array it could not free; the array, whole
                // and unlocked again, is then the host's to free.
                EXPECT_EQ(lent->cLocks, 0u);
                if (move == ReEnter) {
                    EXPECT_EQ(variable.Raw().parray, lent);
                    EXPECT_EQ(VariantClear(variable.Get()), S_OK);
                } else {
                    EXPECT_TRUE(variable.IsEmpty());
                    EXPECT_EQ(SafeArrayDestroy(lent), S_OK);
                }
                EXPECT_EQ(object.References, 1u);
            }
}

TEST(BaseFR, ArraysOfAnotherShapeAreRefusedNotReadPastTheirIndices) {
    ComPtr<TRecordingFR> fr = TRecordingFR::Create();
    VariantArray2D table(2, 1);
    table.Set(0, 0, Variant(3));
    const Variant flat = table.Release();
    EXPECT_EQ(Command(fr.Get(), idPrintExtReport, flat).Code(), 1004);
    EXPECT_TRUE(fr->Calls.empty());

    // The settings table handed over as it is instead of inside a one-element array.
    fr->SetParamValue("MaxReceiptRowLength", Variant(33));
    Variant settings = Command(fr.Get(), idGetSettings).OutData;
    const Variant bare = ArrayReader(settings.Raw()).Item(0);
    TCommandAnswer set = Command(fr.Get(), idSetSettings, bare);
    EXPECT_EQ(set.Code(), 1001);
    EXPECT_EQ(fr->GetParamAsInteger("MaxReceiptRowLength"), 33);
}

TEST(BaseFR, FailedOperationReportsItsCodeAndTextAndNoResult) {
    ComPtr<TRecordingFR> fr = TRecordingFR::Create();
    fr->Code = 3001;
    TCommandAnswer answer = Command(fr.Get(), idOpenDay, Arr({}));
    EXPECT_FALSE(answer.Ok);
    EXPECT_EQ(answer.Code(), 3001);
    EXPECT_EQ(answer.Text(), "Нет бумаги");
    answer = Command(fr.Get(), idPrintText, Arr({Str("x")}));
    EXPECT_EQ(answer.Text(), "paper jam");
}

TEST(BaseFR, StateInfoIsTenIntegersWithUnfilledStatesAtMinusOne) {
    ComPtr<TRecordingFR> fr = TRecordingFR::Create();
    TCommandAnswer answer = Command(fr.Get(), idGetFPStateInfo);
    ASSERT_TRUE(answer.Ok);
    ArrayReader out(answer.OutData.Raw());
    ASSERT_EQ(out.Count(), 10);
    for (LONG i = 0; i < 10; ++i) {
        EXPECT_EQ(out.Item(i).Type(), VT_I4);
        EXPECT_EQ(out.Item(i).AsInteger(), i == 5 ? 0 : -1) << i;
    }
}

TEST(BaseFR, OpenAndCancelCheckSucceedWithoutADevice) {
    ComPtr<TRecordingFR> fr = TRecordingFR::Create();
    TCommandAnswer open = Command(fr.Get(), idOpenCheck);
    ASSERT_TRUE(open.Ok);
    ArrayReader out(open.OutData.Raw());
    ASSERT_EQ(out.Count(), 2);
    EXPECT_EQ(out.Item(0).Type(), VT_I4);
    EXPECT_EQ(out.Item(1).AsInteger(), 0);
    TCommandAnswer cancel = Command(fr.Get(), idCancelCheck);
    EXPECT_TRUE(cancel.Ok);
    EXPECT_TRUE(cancel.OutData.IsEmpty());
    EXPECT_TRUE(fr->Calls.empty());
}

TEST(BaseFR, OperationsADriverLeavesAloneAreNotSupported) {
    ComPtr<TRecordingFR> fr = TRecordingFR::Create();
    for (DISPID id :
         {idPrintXReport, idPrintZReport, idGetCountersInfo, idGetLastDocInfo, idOpenDrawer, idGetDateTime}) {
        TCommandAnswer answer = Command(fr.Get(), id);
        EXPECT_EQ(answer.Code(), 1003) << id;
        EXPECT_EQ(answer.Text(), "Команда не поддерживаеся устройством");
    }
}

TEST(BaseFR, DeviceTestPrintsMakerNameAndVersion) {
    ComPtr<TRecordingFR> fr = TRecordingFR::Create();
    WString text;
    EXPECT_TRUE(fr->DoDeviceTest(text));
    ASSERT_EQ(fr->Calls.size(), 1u);
    EXPECT_EQ(fr->Calls[0].rfind("DoPrintText Kelvo\r\n", 0), 0u) << fr->Calls[0];
    fr->Code = 1003;
    text.clear();
    EXPECT_FALSE(fr->DoDeviceTest(text));
    EXPECT_EQ(U8(text), "paper jam");
}

TEST_F(DriverTest, ExtendedReportIsNotSupportedByThisPrinter) {
    Up();
    TCommandAnswer answer = Command(Disp(), idPrintExtReport, Arr({Variant(3)}));
    EXPECT_EQ(answer.Code(), 1003);
}

TEST_F(DriverTest, TemplatesAreNotFoundUntilTheStoreHasThem) {
    Up();
    EXPECT_EQ(Command(Disp(), idPrintTemplateDocument, Arr({Table2D(), Variant(1), Variant(0)})).Code(),
              3007);
    EXPECT_EQ(Command(Disp(), idDownloadTemplate, Arr({Variant(1)})).Code(), 3007);
}
