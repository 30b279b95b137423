#pragma once

#include <QtCore/QString>

class XDateTime;

// The school year a résumé line's date stands for, as the résumé dialog shows it after the
// date: "(等效于2025年9月1日至2026年8月31日)"; empty for 社会人士 (21) and above.
QString ResumeSchoolYearText(int stage, const XDateTime& date);

// The reset-password confirmation for a person of the module: module name, title and default
// password filled in, "{@itemtype}" replaced by the record kind caption.
QString ResetPasswordPrompt(const QString& moduleName, const QString& title, const QString& defaultPassword,
                            const QString& itemType);

// Whether the reset-password and end-logins buttons are enabled: only while login is allowed.
inline bool LoginButtonsEnabled(bool loginAllowed) { return loginAllowed; }
