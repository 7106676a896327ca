#pragma once
// A window whose children are sorted into numbered layers, one of which is shown at a time;
// a child adopted while layer -1 (all layers) is current belongs to every layer. Buttons keep
// the pictures of their states in layers.
//   TLayeredWindow* w = new TLayeredWindow(2);
//   w->SetCurrentLayer(1);  w->AdoptChild(picture, true);  // picture shows on layer 1 only

#include "ui/window/window.h"

#include <vector>

class TLayeredWindow : public TWindow
{
    TV_CLASS(TLayeredWindow, TWindow)

public:
    static constexpr int kAllLayers = -1;

    explicit TLayeredWindow(unsigned count);
    ~TLayeredWindow() override;

    // Adds the child to the current layer's list (to every list for -1), also when it is
    // already a child, so a window may belong to several layers.
    bool AdoptChild(TWindow* child, bool notify) override;
    // Removes every entry of the child from every layer.
    void OrphanChild(TWindow* child) override;
    // Shows the windows of the layer (of layer 0 for -1) and hides the other children. A
    // number outside the layers is refused with a log line.
    void SetCurrentLayer(int layer);
    int GetCurrentLayer() const { return mCurrentLayer; }
    unsigned GetLayerCount() const { return static_cast<unsigned>(mLayers.size()); }
    const std::vector<TWindow*>& GetLayer(unsigned layer) const { return mLayers.at(layer); }

private:
    int mCurrentLayer = 0;
    std::vector<std::vector<TWindow*>> mLayers;
};
