#pragma once

#include <QString>
#include <QStringList>

// Turns the file dialog's type list, pairs of description and pattern separated by "|"
// ("PCL5 files (*.pcl)|*.pcl|All Files (*.*)|*.*"), into the name filters a QFileDialog
// takes: each description followed by its patterns in brackets, which the dialog hides
// (QFileDialog::HideNameFilterDetails) so that the user reads the description as written.
// Several patterns of one pair are separated by ";" and "*.*" means every file, also one
// without a dot in its name. An empty list gives no filters; a description without a
// pattern is left out.
QStringList NameFiltersFromFilter(const QString& filter);
