#include "images/ImageWindows.h"

#include "data/DmUnit.h"
#include "images/ImagesUnit.h"
#include "images/SlideShowUnit.h"
#include "widgets/WindowRegistry.h"

namespace images {

void registerImageWindows(data::TDmForm& dm, widgets::WindowService&)
{
    using widgets::WindowRegistry;
    WindowRegistry& registry = WindowRegistry::instance();
    registry.add(
        QStringLiteral("ImagesForm"), WindowRegistry::Kind::Child,
        [&dm](QWidget* parent) { return new TImagesForm(dm, parent); }, &dm);
    registry.add(
        QStringLiteral("SlideShowForm"), WindowRegistry::Kind::Modal,
        [&dm](QWidget* parent) { return new TSlideShowForm(dm, parent); }, &dm);
}

} // namespace images
