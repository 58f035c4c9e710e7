// The XML DOM of the stand-in, over libxml2: a document, its elements and node lists, reached by
// late binding with the members the driver calls (async, Load, LoadXML, SelectSingleNode,
// SelectNodes, length, item, GetAttribute) under the system's ProgIDs. XPath is evaluated
// relative to the node asked; results come in document order.
#include <libxml/parser.h>
#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>

#include <atomic>
#include <cstring>
#include <strings.h>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "BuiltinClasses.h"
#include "OleAutoInternal.h"

namespace {

using platform::oleaut::AllocString;
using platform::oleaut::StringOf;
using TDoc = std::shared_ptr<xmlDoc>;

std::string Utf8Of(std::u16string_view text, UINT codePage = CP_UTF8) {
    if (text.empty())
        return {};
    const int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                      nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::u16string WideOf(const char* utf8) {
    const int length = static_cast<int>(std::strlen(utf8));
    if (length == 0)
        return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8, length, nullptr, 0);
    std::u16string out(static_cast<size_t>(n > 0 ? n : 0), u'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, utf8, length, out.data(), n);
    return out;
}

bool SameAscii(std::u16string_view a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i) {
        char16_t x = a[i], y = static_cast<unsigned char>(b[i]);
        if (x >= u'A' && x <= u'Z')
            x = static_cast<char16_t>(x + 32);
        if (y >= u'A' && y <= u'Z')
            y = static_cast<char16_t>(y + 32);
        if (x != y)
            return false;
    }
    return i == a.size() && !b[i];
}

void SilentError(void*, xmlErrorPtr) {}

HRESULT TextArg(const std::vector<const VARIANT*>& args, std::u16string& text) {
    if (args.size() != 1)
        return DISP_E_BADPARAMCOUNT;
    VARIANT converted;
    VariantInit(&converted);
    const HRESULT hr = VariantChangeType(&converted, const_cast<VARIANT*>(args[0]), 0, VT_BSTR);
    if (FAILED(hr))
        return hr;
    text = std::u16string(StringOf(converted.bstrVal));
    VariantClear(&converted);
    return S_OK;
}

// One automation object: members by name, called with their arguments in call order.
class TDispObject : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
            *ppv = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++FRefs; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --FRefs;
        if (left == 0)
            delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count)
            return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info)
            *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (!names || !ids || count == 0)
            return E_INVALIDARG;
        HRESULT hr = S_OK;
        for (UINT i = 0; i < count; ++i) {
            ids[i] = DISPID_UNKNOWN;
            if (i == 0 && names[0]) {
                const std::u16string_view name(names[0]);
                const char* const* members = Members();
                for (DISPID id = 0; members[id]; ++id)
                    if (SameAscii(name, members[id]))
                        ids[0] = id + 1;
            }
            if (ids[i] == DISPID_UNKNOWN)
                hr = DISP_E_UNKNOWNNAME;
        }
        return hr;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO*, UINT*) override {
        if (!params || (params->cArgs && !params->rgvarg))
            return E_INVALIDARG;
        std::vector<const VARIANT*> args;
        for (UINT i = params->cArgs; i > 0; --i)
            args.push_back(&params->rgvarg[i - 1]);
        VARIANT ignored;
        VariantInit(&ignored);
        VARIANT* out = result ? result : &ignored;
        VariantInit(out);
        try {
            const HRESULT hr = Call(id, flags, args, *out);
            VariantClear(&ignored);
            return hr;
        } catch (...) {
            VariantClear(out);
            return E_OUTOFMEMORY;
        }
    }

protected:
    virtual ~TDispObject() = default;
    // Member names, ending with nullptr; DISPIDs count from 1.
    virtual const char* const* Members() const = 0;
    virtual HRESULT Call(DISPID id, WORD flags, const std::vector<const VARIANT*>& args, VARIANT& result) = 0;

    static void SetDispatch(VARIANT& result, IDispatch* object) {
        result.vt = VT_DISPATCH;
        result.pdispVal = object; // the caller owns this reference
    }

private:
    std::atomic<ULONG> FRefs{1};
};

class TXmlNodeList;

// XPath evaluation relative to a node of a document.
HRESULT Select(const TDoc& doc, xmlNodePtr context, const std::u16string& xpath, std::vector<xmlNodePtr>& nodes) {
    nodes.clear();
    if (!doc)
        return S_OK; // an empty document has nothing to select
    std::unique_ptr<xmlXPathContext, decltype(&xmlXPathFreeContext)> ctx(xmlXPathNewContext(doc.get()),
                                                                        &xmlXPathFreeContext);
    if (!ctx)
        return E_OUTOFMEMORY;
    ctx->node = context;
    ctx->error = &SilentError;
    const std::string expression = Utf8Of(xpath);
    std::unique_ptr<xmlXPathObject, decltype(&xmlXPathFreeObject)> found(
        xmlXPathEvalExpression(reinterpret_cast<const xmlChar*>(expression.c_str()), ctx.get()), &xmlXPathFreeObject);
    if (!found || found->type != XPATH_NODESET)
        return E_FAIL; // not an expression that selects nodes
    if (found->nodesetval)
        for (int i = 0; i < found->nodesetval->nodeNr; ++i)
            nodes.push_back(found->nodesetval->nodeTab[i]);
    return S_OK;
}

class TXmlNode : public TDispObject {
public:
    TXmlNode(TDoc doc, xmlNodePtr node) : FDoc(std::move(doc)), FNode(node) {}

protected:
    const char* const* Members() const override {
        static const char* const members[] = {"SelectSingleNode", "SelectNodes", "GetAttribute", "nodeName", "text",
                                              nullptr};
        return members;
    }
    HRESULT Call(DISPID id, WORD flags, const std::vector<const VARIANT*>& args, VARIANT& result) override;

    TDoc FDoc;
    xmlNodePtr FNode;
};

class TXmlNodeList : public TDispObject {
public:
    TXmlNodeList(TDoc doc, std::vector<xmlNodePtr> nodes) : FDoc(std::move(doc)), FNodes(std::move(nodes)) {}

protected:
    const char* const* Members() const override {
        static const char* const members[] = {"length", "item", nullptr};
        return members;
    }
    HRESULT Call(DISPID id, WORD flags, const std::vector<const VARIANT*>& args, VARIANT& result) override {
        if (!(flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)))
            return DISP_E_MEMBERNOTFOUND;
        if (id == 1) {
            if (!args.empty())
                return DISP_E_BADPARAMCOUNT;
            result.vt = VT_I4;
            result.lVal = static_cast<LONG>(FNodes.size());
            return S_OK;
        }
        if (id != 2)
            return DISP_E_MEMBERNOTFOUND;
        if (args.size() != 1)
            return DISP_E_BADPARAMCOUNT;
        VARIANT index;
        VariantInit(&index);
        const HRESULT hr = VariantChangeType(&index, const_cast<VARIANT*>(args[0]), 0, VT_I4);
        if (FAILED(hr))
            return hr;
        // Past the end there is no node: a null object, as the system answers.
        const bool inside = index.lVal >= 0 && static_cast<size_t>(index.lVal) < FNodes.size();
        SetDispatch(result, inside ? new TXmlNode(FDoc, FNodes[static_cast<size_t>(index.lVal)]) : nullptr);
        return inside ? S_OK : S_FALSE;
    }

private:
    TDoc FDoc;
    std::vector<xmlNodePtr> FNodes;
};

// SelectSingleNode and SelectNodes of a document or an element.
HRESULT SelectMember(const TDoc& doc, xmlNodePtr context, bool single, const std::vector<const VARIANT*>& args,
                     VARIANT& result) {
    std::u16string xpath;
    HRESULT hr = TextArg(args, xpath);
    if (FAILED(hr))
        return hr;
    std::vector<xmlNodePtr> nodes;
    hr = Select(doc, context, xpath, nodes);
    if (FAILED(hr))
        return hr;
    if (!single) {
        result.vt = VT_DISPATCH;
        result.pdispVal = new TXmlNodeList(doc, std::move(nodes));
        return S_OK;
    }
    result.vt = VT_DISPATCH;
    result.pdispVal = nodes.empty() ? nullptr : new TXmlNode(doc, nodes.front());
    return nodes.empty() ? S_FALSE : S_OK;
}

HRESULT TXmlNode::Call(DISPID id, WORD flags, const std::vector<const VARIANT*>& args, VARIANT& result) {
    if (!(flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)))
        return DISP_E_MEMBERNOTFOUND;
    switch (id) {
    case 1:
    case 2:
        return SelectMember(FDoc, FNode, id == 1, args, result);
    case 3: {
        std::u16string name;
        const HRESULT hr = TextArg(args, name);
        if (FAILED(hr))
            return hr;
        xmlChar* value = FNode->type == XML_ELEMENT_NODE
                             ? xmlGetProp(FNode, reinterpret_cast<const xmlChar*>(Utf8Of(name).c_str()))
                             : nullptr;
        if (!value) {
            result.vt = VT_NULL; // no such attribute
            return S_OK;
        }
        result.vt = VT_BSTR;
        result.bstrVal = AllocString(WideOf(reinterpret_cast<const char*>(value)));
        xmlFree(value);
        return S_OK;
    }
    case 4:
    case 5: {
        xmlChar* text = id == 4 ? nullptr : xmlNodeGetContent(FNode);
        const std::u16string value =
            WideOf(id == 4 ? reinterpret_cast<const char*>(FNode->name ? FNode->name : BAD_CAST "")
                           : reinterpret_cast<const char*>(text ? text : BAD_CAST ""));
        if (text)
            xmlFree(text);
        result.vt = VT_BSTR;
        result.bstrVal = AllocString(value);
        return S_OK;
    }
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}

class TXmlDocument : public TDispObject {
protected:
    const char* const* Members() const override {
        static const char* const members[] = {"async", "Load", "LoadXML", "SelectSingleNode", "SelectNodes",
                                              "documentElement", nullptr};
        return members;
    }
    HRESULT Call(DISPID id, WORD flags, const std::vector<const VARIANT*>& args, VARIANT& result) override {
        if (id == 1) { // async: kept, but every load is synchronous
            if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
                if (args.size() != 1)
                    return DISP_E_BADPARAMCOUNT;
                VARIANT flag;
                VariantInit(&flag);
                const HRESULT hr = VariantChangeType(&flag, const_cast<VARIANT*>(args[0]), 0, VT_BOOL);
                if (FAILED(hr))
                    return hr;
                FAsync = flag.boolVal != VARIANT_FALSE;
                return S_OK;
            }
            result.vt = VT_BOOL;
            result.boolVal = FAsync ? VARIANT_TRUE : VARIANT_FALSE;
            return S_OK;
        }
        if (!(flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)))
            return DISP_E_MEMBERNOTFOUND;
        switch (id) {
        case 2:
        case 3: {
            std::u16string source;
            const HRESULT hr = TextArg(args, source);
            if (FAILED(hr))
                return hr;
            constexpr int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
            xmlDocPtr doc = nullptr;
            if (id == 2) {
                // File names are the system's bytes in the ANSI code page, as everywhere in the stand-in.
                doc = xmlReadFile(Utf8Of(source, CP_ACP).c_str(), nullptr, options);
            } else {
                const std::string text = Utf8Of(source);
                doc = xmlReadMemory(text.data(), static_cast<int>(text.size()), nullptr, "UTF-8", options);
            }
            FDoc = doc ? TDoc(doc, &xmlFreeDoc) : TDoc();
            result.vt = VT_BOOL;
            result.boolVal = doc ? VARIANT_TRUE : VARIANT_FALSE;
            return S_OK;
        }
        case 4:
        case 5:
            return SelectMember(FDoc, FDoc ? reinterpret_cast<xmlNodePtr>(FDoc.get()) : nullptr, id == 4, args,
                                result);
        case 6: {
            xmlNodePtr root = FDoc ? xmlDocGetRootElement(FDoc.get()) : nullptr;
            SetDispatch(result, root ? new TXmlNode(FDoc, root) : nullptr);
            return S_OK;
        }
        default:
            return DISP_E_MEMBERNOTFOUND;
        }
    }

private:
    TDoc FDoc;
    bool FAsync = true;
};

class TXmlDocumentFactory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
            *ppv = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        static std::once_flag initialized;
        std::call_once(initialized, [] { xmlInitParser(); });
        try {
            TXmlDocument* document = new TXmlDocument;
            const HRESULT hr = document->QueryInterface(riid, ppv);
            document->Release();
            return hr;
        } catch (...) {
            return E_OUTOFMEMORY;
        }
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

// The ProgIDs the system registers for its DOM document, with their CLSIDs.
struct TBuiltinClass {
    const char* ProgId;
    CLSID Clsid;
};
const TBuiltinClass BuiltinClasses[] = {
    {"Msxml2.DOMDocument", {0xF6D90F11, 0x9C73, 0x11D3, {0xB3, 0x2E, 0x00, 0xC0, 0x4F, 0x99, 0x0B, 0xB4}}},
    {"MSXML.DOMDocument", {0x2933BF90, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}}},
};

} // namespace

namespace platform::builtin {

bool ClsidOfProgId(std::string_view progId, CLSID& clsid) {
    for (const TBuiltinClass& c : BuiltinClasses) {
        if (progId.size() == std::strlen(c.ProgId) && strncasecmp(progId.data(), c.ProgId, progId.size()) == 0) {
            clsid = c.Clsid;
            return true;
        }
    }
    return false;
}

HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
    static TXmlDocumentFactory factory;
    for (const TBuiltinClass& c : BuiltinClasses)
        if (IsEqualIID(clsid, c.Clsid))
            return factory.QueryInterface(riid, ppv);
    return CLASS_E_CLASSNOTAVAILABLE;
}

} // namespace platform::builtin
