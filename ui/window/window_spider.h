#pragma once
// Visitors of the window tree: TWindow::ForEachChild calls Process with each child and stops
// at the first false.

#include "ui/window/window.h"

#include <cstdint>

class TButtonControl;
class TWindowManager;

class TWindowSpider
{
public:
    virtual ~TWindowSpider() = default;
    virtual bool Process(TWindow* window) = 0;
};

// Orphans each child and hands it to the manager's deferred destruction.
class ChildrenDelete : public TWindowSpider
{
public:
    ChildrenDelete(TWindow* parent, TWindowManager* manager) : mParent(parent), mManager(manager) {}
    bool Process(TWindow* window) override;

private:
    TWindow* mParent;
    TWindowManager* mManager;
};

// The largest right and bottom edge of the children, starting from the window's own size.
class GetLargest : public TWindowSpider
{
public:
    GetLargest(int width, int height) : mWidth(width), mHeight(height) {}
    bool Process(TWindow* window) override;
    int mWidth;
    int mHeight;
};

// SetFlags(flags AND mask) on each child, and below it when recursive.
class TWindowClearFlags : public TWindowSpider
{
public:
    TWindowClearFlags(uint32_t mask, bool recursive) : mMask(mask), mRecursive(recursive) {}
    bool Process(TWindow* window) override;

private:
    uint32_t mMask;
    bool mRecursive;
};

// OnParentModalPopped on every window, children before parents.
class TModalPoppedSpider : public TWindowSpider
{
public:
    bool Process(TWindow* window) override;
};

// The first child that is not a slider.
class FindNonSlider : public TWindowSpider
{
public:
    bool Process(TWindow* window) override;
    TWindow* mResult = nullptr;
};

// The visible default and cancel buttons below a modal window that a frame has shown.
class FindDefault : public TWindowSpider
{
public:
    bool Process(TWindow* window) override;
    TButtonControl* mDefault = nullptr;
    TButtonControl* mCancel = nullptr;
};
