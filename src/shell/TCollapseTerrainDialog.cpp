#include "shell/TCollapseTerrainDialog.h"

#include "framework/qt/XGDialog.h"
#include "framework/qt/XGMessages.h"
#include "framework/qt/XGModalDialog.h"
#include "shell/TTagPickList.h"
#include "shell/TTolvaneApp.h"

namespace {
constexpr tag_code kTextureStack = 0x74787374; // 'txst'
}

XG_BEGIN_DISPATCH(TCollapseTerrainDialog, XGForm)
    XG_ON(kXGClickMessage, &TCollapseTerrainDialog::DoClick)
    XG_ON(kXGKeyClickMessage, &TCollapseTerrainDialog::DoClick)
XG_END_DISPATCH()

bool TCollapseTerrainDialog::Run(tag_file* file, tag_code& terrain, tag_code& detail)
{
    auto form = std::make_unique<TCollapseTerrainDialog>(file);
    TCollapseTerrainDialog* dialog = form.get();
    XGModalDialog modal(std::move(form), kResource);
    if (modal.Run() != kCreate) return false;
    terrain = dialog->fTerrain;
    detail = dialog->fDetail;
    return true;
}

void TCollapseTerrainDialog::WindowBuilt()
{
    Show();
}

void TCollapseTerrainDialog::Show()
{
    const TTagStore& store = TTolvaneApp::Get()->GetStore();
    SetControlText(kDetailButton, TTagPickList::ReferenceLabel(&store, kTextureStack, fDetail));
    SetControlText(kTerrainButton, TTagPickList::ReferenceLabel(&store, kTextureStack, fTerrain));
    EnableControl(kCreate, !tag_id_is_none(fDetail) && !tag_id_is_none(fTerrain));
}

int32_t TCollapseTerrainDialog::DoClick(XGCode, XGParam id, XGParam)
{
    if (id == kDetailButton || id == kTerrainButton) {
        tag_code& chosen = id == kDetailButton ? fDetail : fTerrain;
        tag_code picked = TTagPickList::Run(kTextureStack, chosen, fFile);
        if (picked != 0) chosen = picked;
        Show();
        return 0;
    }
    if (id == kCreate) {
        if (tag_id_is_none(fDetail) || tag_id_is_none(fTerrain)) return 0;
        static_cast<XGDialog*>(GetWindow())->EndModal(kCreate);
        return 0;
    }
    return kXGNotHandled;
}
