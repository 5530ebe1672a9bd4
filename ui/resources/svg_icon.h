#pragma once

#include <QIcon>
#include <QString>
#include <initializer_list>

// Icons drawn from the program's own SVG pictures (":/icons/..."), rendered here rather
// than by an image plug-in so that they show wherever Qt SVG itself is installed.
namespace SvgIcon {

// The picture drawn at each of the given sizes in logical pixels, sharp on screens that
// scale by 1 or 2.
QIcon Load(const QString& resourcePath, std::initializer_list<int> sizes);

// The program's own icon: a printer with a sheet of paper coming out.
QIcon ApplicationIcon();

} // namespace SvgIcon
