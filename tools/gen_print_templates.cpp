// One-off generator of the built-in print templates resources/rtf/450..452 (not part of the
// default build): each is laid out in HTML, read into a text document and written with the
// program's own RTF writer, so the templates have the shape the renderer's row and border
// passes expect.
//
//   cmake --build <dir> --target gen_print_templates && <dir>/tools/bench/gen_print_templates resources/rtf
#include "RtfFormat.h"
#include "RtfWriter.h"

#include <QtCore/QFile>
#include <QtGui/QGuiApplication>
#include <QtGui/QTextCursor>
#include <QtGui/QTextDocument>
#include <QtGui/QTextTable>

#include <cstdio>

namespace {

// A4 with 10 mm margins leaves 190 mm: 718 pixels of 1/96 inch.
constexpr int kWidth = 718;

const char* const kStyle = "<style>"
                           "body { font-family: '宋体'; font-size: 10.5pt; }"
                           "td { font-family: '宋体'; font-size: 10.5pt; }"
                           ".title { font-family: '黑体'; font-size: 20pt; font-weight: bold; }"
                           ".head { font-family: '黑体'; font-weight: bold; background-color: #e8e8e8; }"
                           ".small { font-size: 8pt; color: #808080; }"
                           ".red { color: #c00000; }"
                           "</style>";

QString Support()
{
    return QStringLiteral(
        "<p align=\"center\" class=\"small\">技术支持：青禾教务软件工作室　服务电话：400-000-0000</p>");
}

// Title block: logo left, title centred, number right.
QString TitleBlock(const QString& title)
{
    return QStringLiteral("<table width=\"%1\" cellspacing=\"0\" cellpadding=\"2\" border=\"0\"><tr>"
                          "<td width=\"180\">[BIGLOGO40]</td>"
                          "<td width=\"358\" align=\"center\"><span class=\"title\">%2</span></td>"
                          "<td width=\"180\" align=\"right\">No. <span class=\"red\"><b>[编号]</b></span></td>"
                          "</tr></table>")
        .arg(kWidth)
        .arg(title);
}

QString Grid(int width)
{
    return QStringLiteral("<table width=\"%1\" border=\"1\" cellspacing=\"0\" cellpadding=\"4\" "
                          "style=\"border-collapse: collapse; border-color: #000000;\">")
        .arg(width);
}

QString GeneralReceipt()
{
    QString h = kStyle + TitleBlock(QStringLiteral("收　款　收　据"));
    h += QStringLiteral("<table width=\"%1\" cellspacing=\"0\" cellpadding=\"3\" border=\"0\"><tr>"
                        "<td width=\"420\">交款人：<u>　[交款人]　</u></td>"
                        "<td width=\"298\" align=\"right\">日期：[日期]</td></tr></table>")
             .arg(kWidth);
    h += Grid(kWidth);
    h += QStringLiteral("<tr class=\"head\"><td width=\"48\" align=\"center\" class=\"head\">序号</td>"
                        "<td width=\"270\" align=\"center\" class=\"head\">品名规格</td>"
                        "<td width=\"70\" align=\"center\" class=\"head\">单位</td>"
                        "<td width=\"70\" align=\"center\" class=\"head\">数量</td>"
                        "<td width=\"120\" align=\"center\" class=\"head\">单价</td>"
                        "<td width=\"140\" align=\"center\" class=\"head\">金额</td></tr>");
    h += QStringLiteral("<tr><td align=\"center\">[ID]</td><td>[content.[ID]]</td><td align=\"center\">[unit.[ID]]</td>"
                        "<td align=\"center\">[num.[ID]]</td><td align=\"right\">[unitprice.[ID]]</td>"
                        "<td align=\"right\">[price.[ID]]</td></tr>");
    h += QStringLiteral("<tr><td colspan=\"4\">合计人民币（大写）：<b>[大写金额]</b></td>"
                        "<td colspan=\"2\" align=\"right\"><b>¥ [金额]</b></td></tr>");
    h += QStringLiteral("<tr><td colspan=\"2\">支付方式：[支付方式]</td><td colspan=\"4\">备注：[备注]</td></tr>");
    h += QStringLiteral("</table>");
    h += QStringLiteral("<table width=\"%1\" cellspacing=\"0\" cellpadding=\"3\" border=\"0\"><tr>"
                        "<td width=\"420\">收款单位（盖章有效）：[机构名称]</td>"
                        "<td width=\"298\">经手人：[经手人]　签字：＿＿＿＿＿＿</td></tr>"
                        "<tr><td>联系方式：[机构联系方式]</td>"
                        "<td align=\"right\">第一联 存根（白）　第二联 收据（红）</td></tr></table>")
             .arg(kWidth);
    h += Support();
    return h;
}

QString SignInSheet()
{
    QString h = kStyle + TitleBlock(QStringLiteral("上课签到表"));
    h += QStringLiteral("<table width=\"%1\" cellspacing=\"0\" cellpadding=\"3\" border=\"0\"><tr>"
                        "<td width=\"240\">学员：<b>[学员]</b></td><td width=\"240\">课程：[课程]</td>"
                        "<td width=\"238\">课时：[课时]</td></tr>"
                        "<tr><td>课时包：[课时包]</td><td colspan=\"2\">有效期：[有效期]</td></tr></table>")
             .arg(kWidth);
    h += Grid(kWidth);
    h += QStringLiteral("<tr><td width=\"60\" align=\"center\" class=\"head\">序号</td>"
                        "<td width=\"150\" align=\"center\" class=\"head\">日期</td>"
                        "<td width=\"170\" align=\"center\" class=\"head\">学员签名</td>"
                        "<td width=\"170\" align=\"center\" class=\"head\">老师签名</td>"
                        "<td width=\"168\" align=\"center\" class=\"head\">备注</td></tr>");
    h += QStringLiteral("<tr><td align=\"center\">[ID]</td><td>　</td><td>　</td><td>　</td><td>　</td></tr>");
    h += QStringLiteral("</table>");
    h += QStringLiteral(
             "<table width=\"%1\" cellspacing=\"0\" cellpadding=\"3\" border=\"0\"><tr>"
             "<td width=\"360\">报名日期：[日期]</td>"
             "<td width=\"358\" align=\"right\">第 [PAGENUM] 页 共 [PAGECOUNT] 页</td></tr>"
             "<tr><td colspan=\"2\" align=\"right\" class=\"small\">打印：[打印人] [打印日期] [打印时间]</td></tr>"
             "</table>")
             .arg(kWidth);
    h += Support();
    return h;
}

QString EnrolmentReceipt()
{
    QString h = kStyle + TitleBlock(QStringLiteral("报　名　收　据"));
    h += QStringLiteral("<table width=\"%1\" cellspacing=\"0\" cellpadding=\"3\" border=\"0\"><tr>"
                        "<td width=\"420\">学员：<b>[学员]</b></td>"
                        "<td width=\"298\" align=\"right\">日期：[日期]</td></tr></table>")
             .arg(kWidth);
    h += Grid(kWidth);
    h += QStringLiteral(
        "<tr><td width=\"110\" class=\"head\">课时包</td><td width=\"608\" colspan=\"3\">[课时包]</td></tr>");
    h += QStringLiteral("<tr><td class=\"head\">排课</td><td width=\"249\">[排课]</td>"
                        "<td width=\"110\" class=\"head\">计费</td><td width=\"249\">[计费]</td></tr>");
    h += QStringLiteral("<tr><td class=\"head\">每期课时</td><td>[每期课时]</td>"
                        "<td class=\"head\">单价</td><td>[单价] /课时　[每期价格] /期</td></tr>");
    h += QStringLiteral(
        "<tr><td class=\"head\">课程</td><td>[课程]</td><td class=\"head\">数量</td><td>[数量] 期</td></tr>");
    h += QStringLiteral("<tr><td class=\"head\">调整项</td><td>[调整项] [调整]</td>"
                        "<td class=\"head\">调整说明</td><td>[调整说明]</td></tr>");
    h += QStringLiteral(
        "<tr><td class=\"head\">课时</td><td>[课时]</td><td class=\"head\">有效期</td><td>[有效期]</td></tr>");
    h += QStringLiteral("<tr><td class=\"head\">金额</td><td colspan=\"3\">人民币（大写）<b>[大写金额]</b>　　¥ "
                        "<b>[金额]</b></td></tr>");
    h += QStringLiteral(
        "<tr><td class=\"head\">支付方式</td><td>[支付方式]</td><td class=\"head\">备注</td><td>[备注]</td></tr>");
    h += QStringLiteral("</table>");
    h += QStringLiteral("<table width=\"%1\" cellspacing=\"0\" cellpadding=\"3\" border=\"0\"><tr>"
                        "<td width=\"420\">收款单位（盖章有效）：[机构名称]</td>"
                        "<td width=\"298\">经手人：[经手人]　签字：＿＿＿＿＿＿</td></tr>"
                        "<tr><td>联系方式：[机构联系方式]</td>"
                        "<td align=\"right\">第一联 存根（白）　第二联 收据（红）</td></tr>"
                        "<tr><td colspan=\"2\" align=\"right\" class=\"small\">第 [PAGENUM] 页 共 [PAGECOUNT] 页　"
                        "打印：[打印人] [打印日期] [打印时间]</td></tr></table>")
             .arg(kWidth);
    h += Support();
    h += QStringLiteral("<p>[PAGEBREAK]</p>");
    h += QStringLiteral("<p align=\"center\"><span class=\"title\">学员及家长须知</span></p>");
    const char16_t* rules[] = {
        u"<b>一、总则</"
        u"b>　学员报名即表示学员及家长已阅读并同意本须知。请妥善保管报名收据，作为上课、调课及退费的凭证。",
        u"<b>二、考勤与请假</b>　请按课程表准时上课。如需请假，请至少提前 24 "
        u"小时告知任课老师或前台，按时请假的课时可另行安排补课；"
        u"未请假缺课视为已上课，课时照常扣除。",
        u"<b>三、有效期</"
        u"b>　所购课时须在收据注明的有效期内使用，逾期未使用的课时自动失效。因特殊原因需延长有效期的，请在到期前申请。",
        u"<b>四、调课与退费</b>　调换课程或老师须经学校同意，差价多退少补。申请退费时，已上课时按单价扣除，"
        u"已赠送的课时与资料费不予退还，余款于办理手续后 15 个工作日内退回。",
        u"<b>五、安全</"
        u"b>　未成年学员请由家长接送，课前课后请勿在教室外逗留。学员在校期间请爱护乐器和设施，损坏须照价赔偿。",
        u"<b>六、联系我们</b>　如有疑问或建议，欢迎致电学校前台：0000-00000000。",
    };
    for (const char16_t* r : rules)
        h += QStringLiteral("<p style=\"margin-top: 6px; line-height: 150%;\">") + QString::fromUtf16(r) +
             QStringLiteral("</p>");
    h += QStringLiteral("<p style=\"margin-top: 18px;\">本人已阅读并同意以上须知。</p>");
    h += QStringLiteral(
             "<table width=\"%1\" cellspacing=\"0\" cellpadding=\"3\" border=\"0\"><tr>"
             "<td width=\"360\">学校：[机构名称]</td><td width=\"358\">交款人（签字）：[交款人]　＿＿＿＿＿＿</td></tr>"
             "<tr><td>日期：[日期]</td><td>日期：＿＿＿＿年＿＿月＿＿日</td></tr>"
             "<tr><td colspan=\"2\" align=\"right\" class=\"small\">第 [PAGENUM] 页 共 [PAGECOUNT] 页　"
             "打印：[打印人] [打印日期] [打印时间]</td></tr></table>")
             .arg(kWidth);
    h += Support();
    return h;
}

// Rows of a table whose first cell holds "[ID]" get a height fit for a signature.
void SetSignatureRows(QTextDocument& doc)
{
    for (QTextCursor c = doc.find(QStringLiteral("[ID]")); !c.isNull(); c = doc.find(QStringLiteral("[ID]"), c)) {
        QTextTable* table = c.currentTable();
        if (!table)
            continue;
        const int row = table->cellAt(c).row();
        for (int col = 0; col < table->columns(); ++col) {
            QTextTableCell cell = table->cellAt(row, col);
            QTextTableCellFormat f = cell.format().toTableCellFormat();
            f.setProperty(RtfProperty::RowHeight, 680); // twips, 12 mm: room for a signature
            f.setVerticalAlignment(QTextCharFormat::AlignMiddle);
            cell.setFormat(f);
        }
        break;
    }
}

bool Write(const QString& path, const QString& html, bool tallRows)
{
    QTextDocument doc;
    doc.setTextWidth(kWidth);
    doc.setHtml(html);
    if (tallRows)
        SetSignatureRows(doc);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(WriteRtf(doc));
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    const bool ok = Write(dir + QStringLiteral("/450-general-receipt.rtf"), GeneralReceipt(), false) &&
                    Write(dir + QStringLiteral("/451-sign-in-sheet.rtf"), SignInSheet(), true) &&
                    Write(dir + QStringLiteral("/452-enrolment-receipt.rtf"), EnrolmentReceipt(), false);
    std::fprintf(stderr, ok ? "written\n" : "failed\n");
    return ok ? 0 : 1;
}
