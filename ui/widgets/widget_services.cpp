#include "ui/widgets/widget_services.h"

#include "core/platform/platform.h"
#include "core/strings/string_table.h"
#include "ui/window/window_manager.h"
#include "ui/window/window_script_base.h"

namespace {

TStringTable* gTable = nullptr;

TClipboardReader& Reader()
{
    static TClipboardReader reader;
    return reader;
}

TWindowScriptBase* Script()
{
    TWindowManager* wm = TWindowManager::GetInstance();
    return wm ? wm->GetScript() : nullptr;
}

}  // namespace

TStringTable* GetWidgetStringTable()
{
    if (gTable)
        return gTable;
    TPlatform* platform = TPlatform::GetInstance();
    return platform ? platform->GetStringTable() : nullptr;
}

void SetWidgetStringTable(TStringTable* table)
{
    gTable = table;
}

str LookupString(const str& label, const str& a1, const str& a2, const str& a3, const str& a4, const str& a5)
{
    TStringTable* table = GetWidgetStringTable();
    return table ? table->GetString(label, a1, a2, a3, a4, a5) : label;
}

bool StringTableLookupEnabled()
{
    TWindowScriptBase* script = Script();
    return script && script->StringTableEnabled();
}

bool SetStringTableLookup(bool enable)
{
    TWindowScriptBase* script = Script();
    if (!script)
        return false;
    const bool previous = script->StringTableEnabled();
    script->EnableStringTable(enable);
    return previous;
}

str ReadClipboard()
{
    if (Reader())
        return Reader()();
    TPlatform* platform = TPlatform::GetInstance();
    return platform ? platform->StringFromClipboard() : str();
}

void SetClipboardReader(TClipboardReader reader)
{
    Reader() = std::move(reader);
}
