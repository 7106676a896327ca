#include "game/interface/diary/window_item_entry.h"

#include "game/interface/diary/diary_selection.h"
#include "game/interface/diary/diary_text.h"
#include "game/interface/diary/diary_text_window.h"
#include "game/script/df_log.h"
#include "game/script/window_autoreg.h"
#include "game/world/diary/diary.h"
#include "render/renderer/renderer.h"
#include "render/sprite/sprite.h"
#include "render/texture/texture.h"

TWindow* tWindowItemEntry::DynamicCreate()
{
    return new tWindowItemEntry;
}

void tWindowItemEntry::RedrawItem()
{
    if (!m_pDiary)
        return;
    const tDiaryEntry* entry = SelectedDiaryEntry();
    mPicture.reset();
    TWindow* body = GetChildWindow("item_body", unsigned(-1));
    TWindow* title = GetChildWindow("item_title", unsigned(-1));
    if (!entry) {
        SetDiaryText(body, str());
        SetDiaryText(title, str());
        return;
    }
    for (const str& line : entry->body) {
        str name;
        if (!DiaryPicture(line, &name))
            continue;
        const str file = str("diary/") + name;
        if (std::shared_ptr<TTexture> texture = TTexture::Get(file, 0))
            mPicture = TSprite::Create(0, texture);
        else
            LOGIT("Failed to load %s\n", file.c_str());
    }
    str text = GetBodyTextFromDiaryEntry(*entry);
    if (m_Book != 1)
        text += GetClickTextFromDiaryEntry(*entry);
    SetDiaryText(body, text);
    SetDiaryText(title, DiaryMarkup(entry->title));
}

void tWindowItemEntry::Draw()
{
    if (mPicture) {
        TRenderer* renderer = TRenderer::GetInstance();
        const bool began = renderer->Begin2d();
        mPicture->mSpec.matrix[2] = TVec3(float(GetWindowWidth()) / 2, float(GetWindowHeight()) / 2, 1);
        mPicture->Draw(TDrawSpec(), 0);
        if (began)
            renderer->End2d();
    }
    TWindow::Draw();
}

// Layouts make these windows by type name.
static const AutoRegEntry autoreg[] = {
    {"tWindowItemEntry", tWindowItemEntry::ClassId(), &tWindowItemEntry::DynamicCreate},
};
