#include "EquipmentManager.h"
#include "framework/uCommonUtils.h"

#include <gtest/gtest.h>

using namespace host;

namespace {

struct Answer {
    HRESULT hr;
    bool result;
};

DISPID IdOf(IDispatch& object, const char* name, HRESULT* hr = nullptr) {
    WString wide = Utf8ToWide(name);
    LPOLESTR names[] = {wide.data()};
    DISPID id = 12345;
    HRESULT r = object.GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (hr)
        *hr = r;
    return id;
}

// GetAppProperty("1", name, value) the way the driver calls it: arguments last first.
Answer Ask(IDispatch& manager, const char* name, VARIANT& value) {
    Variant device = Variant::FromUtf8("1"), property = Variant::FromUtf8(name);
    VARIANT args[3] = {value, *property.Get(), *device.Get()};
    DISPPARAMS params{args, nullptr, 3, 0};
    Variant result;
    HRESULT hr = manager.Invoke(IdOf(manager, "GetAppProperty"), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                &params, result.Get(), nullptr, nullptr);
    return {hr, result.Type() == VT_BOOL && result.Raw().boolVal == VARIANT_TRUE};
}

// The driver's value variable: a by-reference string.
VARIANT StringRef(BStr& value) {
    VARIANT ref;
    ref.vt = VT_BYREF | VT_BSTR;
    ref.pbstrVal = value.Receive();
    return ref;
}

VARIANT VariantRef(Variant& target) {
    VARIANT ref;
    ref.vt = VT_BYREF | VT_VARIANT;
    ref.pvarVal = target.Get();
    return ref;
}

} // namespace

TEST(EquipmentManager, AnswersByNameThroughATypedStringReference) {
    ManagerConfig config = DefaultManagerConfig("work");
    EquipmentManager manager(config);
    EXPECT_EQ(IdOf(manager, "getappproperty"), EquipmentManager::kGetAppProperty);

    BStr value;
    VARIANT ref = StringRef(value);
    Answer answer = Ask(manager, "DevicesFolder", ref);
    EXPECT_EQ(answer.hr, S_OK);
    EXPECT_TRUE(answer.result);
    EXPECT_EQ(WideToUtf8(value.Text()), config.properties["DevicesFolder"]);
    EXPECT_NE(WideToUtf8(value.Text()).find("work"), std::string::npos);

    answer = Ask(manager, "language", ref);
    EXPECT_TRUE(answer.result);
    EXPECT_EQ(WideToUtf8(value.Text()), "ru");
}

TEST(EquipmentManager, AnswersThroughAVariantReference) {
    EquipmentManager manager(DefaultManagerConfig("work"));
    Variant target = Variant::FromUtf8("old");
    VARIANT ref = VariantRef(target);
    EXPECT_TRUE(Ask(manager, "Language", ref).result);
    EXPECT_EQ(WideToUtf8(target.AsWide()), "ru");
}

TEST(EquipmentManager, RefusesCleanly) {
    EquipmentManager manager(DefaultManagerConfig("work"));
    HRESULT hr = S_OK;
    EXPECT_EQ(IdOf(manager, "GetAppProperties", &hr), DISPID_UNKNOWN);
    EXPECT_EQ(hr, DISP_E_UNKNOWNNAME);

    // An unknown property is a False answer that leaves the variable alone.
    Variant target = Variant::FromUtf8("keep");
    VARIANT ref = VariantRef(target);
    Answer answer = Ask(manager, "Colour", ref);
    EXPECT_EQ(answer.hr, S_OK);
    EXPECT_FALSE(answer.result);
    EXPECT_EQ(WideToUtf8(target.AsWide()), "keep");

    // A value passed by value cannot carry the answer back: a type mismatch, not a silent loss.
    Variant byValue = Variant::FromUtf8("");
    EXPECT_EQ(Ask(manager, "Language", *byValue.Get()).hr, DISP_E_TYPEMISMATCH);

    DISPPARAMS none{nullptr, nullptr, 0, 0};
    EXPECT_EQ(manager.Invoke(EquipmentManager::kGetAppProperty, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr,
                             nullptr),
              DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(manager.Invoke(7, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(manager.ExtraReferences(), 0);
}

TEST(EquipmentManager, RehearsesAHostThatFails) {
    ManagerConfig config = DefaultManagerConfig("work");
    config.answerFalse = true;
    EquipmentManager falseAnswers(config);
    BStr value;
    VARIANT ref = StringRef(value);
    Answer answer = Ask(falseAnswers, "DevicesFolder", ref);
    EXPECT_EQ(answer.hr, S_OK);
    EXPECT_FALSE(answer.result);

    config.answerFalse = false;
    config.withoutGetAppProperty = true;
    EquipmentManager without(config);
    HRESULT hr = S_OK;
    EXPECT_EQ(IdOf(without, "GetAppProperty", &hr), DISPID_UNKNOWN);
    EXPECT_EQ(hr, DISP_E_UNKNOWNNAME);
}
