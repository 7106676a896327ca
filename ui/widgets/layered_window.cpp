#include "ui/widgets/layered_window.h"

#include "core/debug/debug_log.h"
#include "ui/window/window_manager.h"
#include "ui/window/window_spider.h"

#include <algorithm>

TLayeredWindow::TLayeredWindow(unsigned count) : mLayers(count) {}

TLayeredWindow::~TLayeredWindow() = default;

bool TLayeredWindow::AdoptChild(TWindow* child, bool notify)
{
    if (!TWindow::AdoptChild(child, notify))
        return false;
    if (mCurrentLayer == kAllLayers) {
        for (auto& layer : mLayers)
            layer.push_back(child);
    } else if (mCurrentLayer >= 0 && static_cast<size_t>(mCurrentLayer) < mLayers.size()) {
        mLayers[static_cast<size_t>(mCurrentLayer)].push_back(child);
    }
    return true;
}

void TLayeredWindow::OrphanChild(TWindow* child)
{
    TWindow::OrphanChild(child);
    // Repeated adoption leaves several entries; none may outlive the child.
    for (auto& layer : mLayers)
        layer.erase(std::remove(layer.begin(), layer.end(), child), layer.end());
}

void TLayeredWindow::SetCurrentLayer(int layer)
{
    if (layer == mCurrentLayer)
        return;
    if (layer < kAllLayers || (layer >= 0 && static_cast<size_t>(layer) >= mLayers.size())) {
        WriteDbg("SetCurrentLayer: window '%s' has no layer %d (it has %u)", GetName().c_str(), layer, GetLayerCount());
        return;
    }
    mCurrentLayer = layer;
    TWindowClearFlags hideAll(~kEnabled, false);
    ForEachChild(hideAll);
    if (!mLayers.empty()) {
        for (TWindow* child : mLayers[layer == kAllLayers ? 0 : static_cast<size_t>(layer)])
            child->SetFlags(child->GetFlags() | kEnabled);
    }
    if (TWindowManager* wm = TWindowManager::GetInstance())
        wm->InvalidateScreen();
}
