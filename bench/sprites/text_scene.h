#pragma once
// A screen of wrapped rich text (bold, italic, underlined, coloured, outlined and larger runs)
// drawn with the built-in font every frame, as a game's diary or help page is.

#include <memory>

class TTextGraphic;

class TTextScene
{
public:
    TTextScene(int width, int height);
    ~TTextScene();
    TTextScene(const TTextScene&) = delete;
    TTextScene& operator=(const TTextScene&) = delete;

    // Between the renderer's Begin2d and End2d.
    void Draw();
    int LineCount() const;

private:
    TTextGraphic* mText = nullptr;
    int mHeight = 0;
};
