// The late-binding client against a scripted IDispatch in this test: what
// it sends (names, flags, arguments last first, by-reference variables) and
// how it reads results and exceptions back.
#include "base/error.h"
#include "base/late_binding.h"
#include "platform/automation_win.h"
#include "platform/errors_win.h"
#include "platform/handles_win.h"
#include "platform/wide_win.h"
#include "standin_test_support.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <vector>

namespace {

// One argument as the scripted object saw it.
struct Seen {
    VARTYPE type;
    std::string text; // the value read through any reference, as a text
    bool pointsAtOwnBstr = false;
};

struct Invocation {
    DISPID id;
    WORD flags;
    std::vector<Seen> args; // in the order of rgvarg (last argument first)
};

std::string asText(VARIANT& v) {
    UniqueVariant copy;
    if (FAILED(VariantCopyInd(copy.put(), &v)))
        return "<unreadable>";
    UniqueVariant text;
    if (FAILED(VariantChangeType(text.put(), copy.address(), 0, VT_BSTR)))
        return "<not a text>";
    const BSTR b = text.get().bstrVal;
    return narrow({b, SysStringLen(b)});
}

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
// Lives on the test's stack: its reference count does not own it, and the
// client under test is always dropped before it.
class ScriptedDispatch final : public IDispatch {
public:
    std::map<std::wstring, DISPID> ids{{L"Method", 7}, {L"Other", 8}};
    int nameLookups = 0;
    std::vector<Invocation> invocations;
    // What Invoke does: fills the result or the exception and answers the HRESULT.
    std::function<HRESULT(VARIANT*, EXCEPINFO*)> answer = [](VARIANT*, EXCEPINFO*) { return S_OK; };

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (riid == IID_IUnknown || riid == IID_IDispatch) {
            *object = static_cast<IDispatch*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* out) override {
        ++nameLookups;
        if (count != 1)
            return E_INVALIDARG;
        const auto it = ids.find(names[0]);
        out[0] = it == ids.end() ? DISPID_UNKNOWN : it->second;
        return it == ids.end() ? DISP_E_UNKNOWNNAME : S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT*) override {
        Invocation call{id, flags, {}};
        for (UINT i = 0; i < params->cArgs; ++i) {
            VARIANT& arg = params->rgvarg[i];
            call.args.push_back({arg.vt, asText(arg), false});
            // A by-reference text must be a BSTR variable the callee may
            // replace: free it and put another there.
            if (arg.vt == (VT_BYREF | VT_BSTR)) {
                call.args.back().pointsAtOwnBstr = arg.pbstrVal != nullptr;
                SysFreeString(*arg.pbstrVal);
                *arg.pbstrVal = SysAllocString(L"changed by the callee");
            }
        }
        invocations.push_back(std::move(call));
        return answer(result, exception);
    }
};
#pragma GCC diagnostic pop

struct AutomationClient : ::testing::Test {
    ScriptedDispatch server;
    std::shared_ptr<LateBound> object =
        wrapDispatch(Microsoft::WRL::ComPtr<IDispatch>(&server), "Test.Server");
};

TEST_F(AutomationClient, SendsArgumentsLastFirstWithByReferenceVariables) {
    const std::vector<Arg> args{byVal("first"), Arg{std::int32_t{42}, false}, byRef("caf\xC3\xA9"),
                                Arg{true, true}, Arg{2.5, false}};
    object->call("Method", args);
    ASSERT_EQ(server.invocations.size(), 1u);
    const Invocation& call = server.invocations[0];
    EXPECT_EQ(call.id, 7);
    EXPECT_EQ(call.flags, DISPATCH_METHOD | DISPATCH_PROPERTYGET);
    ASSERT_EQ(call.args.size(), 5u);
    EXPECT_EQ(call.args[4].type, VT_BSTR);
    EXPECT_EQ(call.args[4].text, "first");
    EXPECT_EQ(call.args[3].type, VT_I4);
    EXPECT_EQ(call.args[3].text, "42");
    EXPECT_EQ(call.args[2].type, VT_BYREF | VT_BSTR);
    EXPECT_EQ(call.args[2].text, "caf\xC3\xA9");
    EXPECT_TRUE(call.args[2].pointsAtOwnBstr);
    EXPECT_EQ(call.args[1].type, VT_BYREF | VT_BOOL);
    EXPECT_EQ(call.args[0].type, VT_R8);
    EXPECT_EQ(args[2].value, Value{"caf\xC3\xA9"}) << "the caller's own value is not changed";
}

TEST_F(AutomationClient, ReadsPropertiesAndLooksEachNameUpOnce) {
    object->get("Other");
    object->get("Other");
    object->call("Method");
    object->call("Method", std::vector{byVal("x")});
    EXPECT_EQ(server.nameLookups, 2);
    ASSERT_EQ(server.invocations.size(), 4u);
    EXPECT_EQ(server.invocations[0].flags, DISPATCH_PROPERTYGET);
    EXPECT_EQ(server.invocations[0].id, 8);
    EXPECT_TRUE(server.invocations[0].args.empty());
}

TEST_F(AutomationClient, ConvertsResultsToValues) {
    const auto resultOf = [&](std::function<void(VARIANT*)> fill) {
        server.answer = [fill](VARIANT* result, EXCEPINFO*) {
            fill(result);
            return S_OK;
        };
        return object->get("Other");
    };
    EXPECT_EQ(resultOf([](VARIANT* r) { r->vt = VT_EMPTY; }), Value{});
    EXPECT_EQ(resultOf([](VARIANT* r) { r->vt = VT_NULL; }), Value{});
    EXPECT_EQ(resultOf([](VARIANT* r) {
                  r->vt = VT_BOOL;
                  r->boolVal = VARIANT_TRUE;
              }),
              Value{true});
    EXPECT_EQ(resultOf([](VARIANT* r) {
                  r->vt = VT_I2;
                  r->iVal = -7;
              }),
              Value{std::int32_t{-7}});
    EXPECT_EQ(resultOf([](VARIANT* r) {
                  r->vt = VT_UI1;
                  r->bVal = 200;
              }),
              Value{std::int32_t{200}});
    EXPECT_EQ(resultOf([](VARIANT* r) {
                  r->vt = VT_UI4;
                  r->ulVal = 3'000'000'000u;
              }),
              Value{3'000'000'000.0})
        << "too large for a whole number of the program";
    EXPECT_EQ(resultOf([](VARIANT* r) {
                  r->vt = VT_R4;
                  r->fltVal = 0.5f;
              }),
              Value{0.5});
    EXPECT_EQ(resultOf([](VARIANT* r) {
                  r->vt = VT_BSTR;
                  r->bstrVal = SysAllocString(L"\u0436 text");
              }),
              Value{"\xD0\xB6 text"});
    EXPECT_EQ(resultOf([](VARIANT* r) {
                  r->vt = VT_CY;
                  r->cyVal.int64 = 15000; // 1.5 in ten-thousandths
              }),
              Value{1.5});
    // Results of any other kind are no value the program reads, and the
    // call went through. An object is not asked for its value: that would
    // be a call outside the client's limits.
    EXPECT_EQ(resultOf([](VARIANT* r) {
                  r->vt = VT_ERROR;
                  r->scode = DISP_E_PARAMNOTFOUND;
              }),
              Value{});
    static ScriptedDispatch other;
    EXPECT_EQ(resultOf([](VARIANT* r) {
                  r->vt = VT_DISPATCH;
                  r->pdispVal = &other;
              }),
              Value{});
    EXPECT_EQ(resultOf([](VARIANT* r) {
                  r->vt = VT_UNKNOWN;
                  r->punkVal = &other;
              }),
              Value{});
    EXPECT_TRUE(other.invocations.empty()) << "the object in the result was called";
    EXPECT_EQ(resultOf([](VARIANT* r) {
                  r->vt = VT_ARRAY | VT_I4;
                  r->parray = SafeArrayCreateVector(VT_I4, 0, 3);
              }),
              Value{});
    static LONG referenced = 12;
    EXPECT_EQ(resultOf([](VARIANT* r) {
                  r->vt = VT_BYREF | VT_I4;
                  r->plVal = &referenced;
              }),
              Value{std::int32_t{12}});
}

TEST_F(AutomationClient, ExceptionsCarryTheServersNumberDescriptionAndSource) {
    server.answer = [](VARIANT*, EXCEPINFO* e) {
        e->scode = static_cast<HRESULT>(0x80040777);
        e->bstrDescription = SysAllocString(L"Disk \u0436 full");
        e->bstrSource = SysAllocString(L"The.Server");
        return DISP_E_EXCEPTION;
    };
    AppError error = errorOf([&] { object->call("Method"); });
    EXPECT_EQ(error.number(), 0x80040777);
    EXPECT_EQ(error.description(), "Disk \xD0\xB6 full");
    EXPECT_EQ(error.source(), "The.Server");

    // A small server number in wCode, no texts: the caller's source and the
    // system's words.
    server.answer = [](VARIANT*, EXCEPINFO* e) {
        e->wCode = 1001;
        return DISP_E_EXCEPTION;
    };
    error = errorOf([&] { object->call("Method"); });
    EXPECT_EQ(error.number(), 1001);
    EXPECT_FALSE(error.description().empty());
    EXPECT_EQ(error.source(), "Test.Server");

    // A server that fills its exception in only when asked.
    server.answer = [](VARIANT*, EXCEPINFO* e) {
        e->pfnDeferredFillIn = [](EXCEPINFO* late) -> HRESULT {
            late->scode = E_ACCESSDENIED;
            late->bstrDescription = SysAllocString(L"Filled in late");
            return S_OK;
        };
        return DISP_E_EXCEPTION;
    };
    error = errorOf([&] { object->call("Method"); });
    EXPECT_EQ(error.number(), static_cast<std::uint32_t>(E_ACCESSDENIED));
    EXPECT_EQ(error.description(), "Filled in late");
}

TEST_F(AutomationClient, FailuresWithoutExceptionAndUnknownMembersRaiseAppError) {
    server.answer = [](VARIANT*, EXCEPINFO*) { return DISP_E_TYPEMISMATCH; };
    const AppError mismatch = errorOf([&] { object->call("Method", std::vector{byVal("x")}); });
    EXPECT_EQ(mismatch.number(), static_cast<std::uint32_t>(DISP_E_TYPEMISMATCH));
    EXPECT_FALSE(mismatch.description().empty());
    EXPECT_EQ(mismatch.source(), "Test.Server");

    const AppError unknown = errorOf([&] { object->call("Missing"); });
    EXPECT_EQ(unknown.number(), ErrorNumber::NoSuchMember);
    EXPECT_NE(unknown.description().find("Missing"), std::string::npos);

    server.answer = [](VARIANT*, EXCEPINFO*) { return DISP_E_MEMBERNOTFOUND; };
    EXPECT_EQ(errorOf([&] { object->get("Method"); }).number(), ErrorNumber::NoSuchMember)
        << "a name that exists but cannot be read";
}

// Every failed system call reaches the user through one text: the system's
// own, without its final full stop and line break, or the code in hexadecimal
// where the system has none; the code is the error's number.
TEST(SystemErrors, TheSystemsTextOrTheCodeWithTheSourceAndWhatFailed) {
    const std::string notFound = systemMessage(ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(notFound.empty());
    EXPECT_NE(notFound.back(), '.');
    EXPECT_EQ(notFound.find_first_of("\r\n"), std::string::npos);
    EXPECT_EQ(systemMessage(0xE0C0FFEEu), "Error 0xE0C0FFEE");

    const AppError win32 =
        errorOf([] { throwWin32(ERROR_FILE_NOT_FOUND, "Settings", "The setting could not be read"); });
    EXPECT_EQ(win32.number(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(win32.description(), "The setting could not be read: " + notFound);
    EXPECT_EQ(win32.source(), "Settings");

    const AppError hresult = errorOf([] { throwHresult(static_cast<HRESULT>(0xE0C0FFEE), "Server"); });
    EXPECT_EQ(hresult.number(), 0xE0C0FFEE);
    EXPECT_EQ(hresult.description(), "Error 0xE0C0FFEE");
    EXPECT_EQ(hresult.source(), "Server");
}

} // namespace
