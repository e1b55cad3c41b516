#pragma once

#include <QIcon>
#include <QImage>

namespace tevra {

// Registers the compiled-in resources (images, font) of the view library.
// A static library's resources are only linked in when something refers to
// them, so every user of a resource calls this first; repeated calls are cheap.
void initViewResources();

// The two gradient images the picture is tiled with. When a resource is
// missing, a flat image of the gradient's middle colour stands in.
const QImage& backgroundImage();
const QImage& barImage();

// The program icon (title bar, About box); a null icon when the resource is missing.
QIcon programIcon();

} // namespace tevra
