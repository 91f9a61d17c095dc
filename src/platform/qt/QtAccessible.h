#pragma once
// What the widgets tell assistive technology (a screen reader over AT-SPI).
// The widgets draw their own texts and bars, so Qt alone would expose
// nameless fillers. Qt builds these descriptions only when an assistive
// technology asks, and the announcements below cost one flag test while
// none listens.
class QString;
class QWidget;

namespace vk::qt {

// Registers the descriptions of the toolkit's own widgets with Qt; once per
// program, any later call does nothing.
void installAccessibleWidgets();

// A text widget's text changed from `before` to `now`: its name and text
// change for a screen reader (the status line is read out this way).
void announceTextChange(QWidget& widget, const QString& before, const QString& now);

// A meter's value changed.
void announceValueChange(QWidget& widget, int percent);

// A caption as it reads: "&File" -> "File", "&&" -> "&".
QString withoutAccessKeys(const QString& caption);

}  // namespace vk::qt
