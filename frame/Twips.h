// Window geometry in twips (1440 to the inch, 15 to a device-independent
// pixel at 96 dpi). Every window keeps its layout as one table of these
// constants; this helper alone turns them into pixels, and Qt's high-DPI
// scaling takes it from there.
#pragma once

#include <QLine>
#include <QRect>
#include <QSize>

namespace kakeibo {

constexpr int kTwipsPerPixel = 15;

struct TwipsRect {
    int left;
    int top;
    int width;
    int height;
};

struct TwipsSize {
    int width;
    int height;
};

struct TwipsLine {
    int x1;
    int y1;
    int x2;
    int y2;
};

constexpr int toPixels(int twips)
{
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

inline QRect toPixels(const TwipsRect &r)
{
    return {toPixels(r.left), toPixels(r.top), toPixels(r.width), toPixels(r.height)};
}

inline QSize toPixels(const TwipsSize &s)
{
    return {toPixels(s.width), toPixels(s.height)};
}

inline QLine toPixels(const TwipsLine &l)
{
    return {toPixels(l.x1), toPixels(l.y1), toPixels(l.x2), toPixels(l.y2)};
}

} // namespace kakeibo
