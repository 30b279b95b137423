#include "StudentTexts.h"

#include "CDBStudentResume.h"
#include "FormatString.h"
#include "XDateTime.h"

QString ResumeSchoolYearText(int stage, const XDateTime& date)
{
    if (stage >= 21)
        return QString();
    const int year = SchoolYearOf(date);
    return FormatString(u"(等效于%d年9月1日至%d年8月31日)", year, year + 1);
}

QString ResetPasswordPrompt(const QString& moduleName, const QString& title, const QString& defaultPassword,
                            const QString& itemType)
{
    QString text = FormatString(u"%s “%s” 的密码将重置为默认密码：“%s”，并自动注销该{@itemtype}的全部登录状态！\r\n\r\n"
                                u"默认密码可在 “首选项” 中修改。",
                                moduleName, title, defaultPassword);
    return text.replace(QStringLiteral("{@itemtype}"), itemType);
}
