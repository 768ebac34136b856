// Texts between Qt's widgets and the component, whose 8-bit texts are in the system code page
// (the engine reads them so).
#pragma once

#include <QString>
#include <string>

namespace brenlow {

QString FromAnsi(const std::string& text);
// A character the code page cannot show becomes "?".
std::string ToAnsi(const QString& text);

}  // namespace brenlow
