#include "templates/uTemplateStore.h"

#include "templates/uTemplateLib.h"
#include "templates/uTemplateTable.h"

#include <mutex>
#include <vector>

namespace {

struct TTemplateEntry {
    LONG Number;
    WString Description;
    Variant Template;
};

// Objects of several apartments may upload and print at the same time.
class TTemplateStore {
public:
    void Put(LONG number, WString description, Variant table) {
        std::lock_guard<std::mutex> lock(FMutex);
        for (TTemplateEntry& entry : FEntries) {
            if (entry.Number == number) {
                entry.Description = std::move(description);
                entry.Template = std::move(table);
                return;
            }
        }
        FEntries.push_back({number, std::move(description), std::move(table)});
    }

    bool Get(LONG number, Variant& table, WString& description) {
        std::lock_guard<std::mutex> lock(FMutex);
        for (const TTemplateEntry& entry : FEntries) {
            if (entry.Number == number) {
                table = entry.Template;
                description = entry.Description;
                return true;
            }
        }
        return false;
    }

private:
    std::mutex FMutex;
    std::vector<TTemplateEntry> FEntries;
};

TTemplateStore& Store() {
    static TTemplateStore store;
    return store;
}

} // namespace

LONG PutTemplate(LONG Number, const std::string& Description, const Variant& Template) {
    // The copy is made outside the lock: a large table must not hold up the other objects.
    Store().Put(Number, AnsiToWide(Description), OwnedCopy(Template));
    return ErrNone;
}

LONG GetTemplate(LONG Number, Variant& Template, std::string& Description) {
    Template.Reset();
    Description.clear();
    LONG result = ErrTemplateNotFound;
    if (Number == 0) {
        result = LoadZeroTemplate(Template, Description);
    } else {
        WString description;
        if (Store().Get(Number, Template, description)) {
            Description = WideToAnsi(description);
            result = ErrNone;
        }
    }
    if (!Template.IsArray())
        result = ErrTemplateNotFound;
    return result;
}
