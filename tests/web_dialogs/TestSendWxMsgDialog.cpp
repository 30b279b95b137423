// The desktop's WeChat notice dialog, run headless on the fixture school's make-up class.
#include "CDlgSendWxMsg.h"
#include "CHead.h"
#include "CWxRcver.h"
#include "CXEditCtrl.h"
#include "CXListCtrl.h"
#include "CommandIds.h"
#include "CommandIds.h"
#include "RecordLookups.h"
#include "WxNoticeTest.h"
#include "XUi.h"

#include <gtest/gtest.h>

#include <QtCore/QDir>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QPushButton>

namespace {

struct XEnableProbe : XCmdUI
{
    void Enable(bool on) override { enabled = on; }
    bool enabled = false;
};

class SendWxMsgDialog : public WxNoticeTest
{
protected:
    static bool Enabled(CDlgSendWxMsg& dlg, int id)
    {
        XEnableProbe probe;
        probe.m_nID = id;
        dlg.OnCmdMsg(id, XCN_UPDATE, &probe);
        return probe.enabled;
    }
    static QAbstractButton* Radio(CDlgSendWxMsg& dlg, int i)
    {
        return qobject_cast<QAbstractButton*>(dlg.GetDlgItem(IDC_WXMSG_TMPL0 + i));
    }
    static QString Preview(CDlgSendWxMsg& dlg) { return dlg.m_preview->toPlainText(); }
    static void Ok(CDlgSendWxMsg& dlg) { qobject_cast<QPushButton*>(dlg.GetDlgItem(IDOK))->click(); }
    int MsgRows() const
    {
        return static_cast<int>(QueryNumber(QStringLiteral("SELECT COUNT(*) FROM TB_OPERLOG WHERE TypeID=8")));
    }
};

TEST_F(SendWxMsgDialog, ChoosesTemplateEditsTheSendersLineAndSends)
{
    Bind(m_school.s1, QStringLiteral("oS1"));
    CXItem* rcd = Read(MDU_EDURCD, m_school.makeUp);
    ASSERT_TRUE(rcd);
    XUiTestHooks ui;
    CDlgSendWxMsg dlg(rcd);
    ASSERT_TRUE(dlg.Create());
    dlg.resize(480, 560);

    // one receiver, checked since bound; the class record's three templates offered
    ASSERT_EQ(dlg.m_list->GetItemCount(), 1);
    EXPECT_TRUE(dlg.m_list->GetCheck(0));
    EXPECT_EQ(dlg.m_list->GetItemData(0)->m_nID, m_school.s1);
    const QString titles[] = {QStringLiteral("上课提醒"), QStringLiteral("调课通知"), QStringLiteral("课程取消通知")};
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(Radio(dlg, i));
        EXPECT_EQ(Radio(dlg, i)->isVisibleTo(&dlg), i < 3) << i;
        if (i < 3)
            EXPECT_EQ(Radio(dlg, i)->text(), titles[i]);
    }
    EXPECT_TRUE(Radio(dlg, 0)->isChecked());
    // the reminder has no line of the sender's: the edit stays off
    EXPECT_FALSE(dlg.m_edit->isEnabled());
    EXPECT_TRUE(Preview(dlg).startsWith(u"张三 (小明)您好！2026年2月14日")) << Preview(dlg).toStdString();
    EXPECT_TRUE(Preview(dlg).contains(u"\n课程名称：钢琴（"));
    EXPECT_FALSE(Enabled(dlg, IDC_CHECKALL));
    EXPECT_TRUE(Enabled(dlg, IDC_CHECKCLR));
    EXPECT_FALSE(Enabled(dlg, ID_ARROW_DN));
    EXPECT_FALSE(Enabled(dlg, ID_ARROW_UP));

    // the lesson moved: its reason is the sender's line, offered with the default text
    Radio(dlg, 1)->click();
    EXPECT_EQ(dlg.m_nTmpl, 1);
    EXPECT_TRUE(dlg.m_edit->isEnabled());
    EXPECT_EQ(dlg.m_edit->text(), u"临时调整，不便之处，敬请谅解！");
    EXPECT_EQ(dlg.PrevInZOrder(dlg.m_edit)->property("text").toString(), u"调课原因：");
    EXPECT_TRUE(Preview(dlg).contains(u"调课原因：临时调整，不便之处，敬请谅解！"));
    dlg.m_edit->setText(QStringLiteral("老师出差"));
    emit dlg.m_edit->textEdited(dlg.m_edit->text());
    EXPECT_TRUE(Preview(dlg).contains(u"调课原因：老师出差"));

    if (const QByteArray dir = qgetenv("LORVAN_SCREENSHOT_DIR"); !dir.isEmpty()) {
        dlg.show();
        dlg.grab().save(QDir(QString::fromLocal8Bit(dir)).filePath(QStringLiteral("send_wx_msg.png")));
    }

    // nobody checked: a balloon, nothing sent
    dlg.DispatchCommand(IDC_CHECKCLR);
    EXPECT_FALSE(dlg.m_list->GetCheck(0));
    EXPECT_TRUE(Enabled(dlg, IDC_CHECKALL));
    EXPECT_FALSE(Enabled(dlg, IDC_CHECKCLR));
    Ok(dlg);
    ASSERT_EQ(ui.Calls(QStringLiteral("Balloon")).size(), 1u);
    EXPECT_EQ(ui.Calls(QStringLiteral("Balloon"))[0].text, u"请勾选要接收微信通知的学员！");
    EXPECT_TRUE(ui.Calls(QStringLiteral("MessageBox")).empty());

    // an empty reason is asked about; cancelling sends nothing
    dlg.DispatchCommand(IDC_CHECKALL);
    dlg.m_edit->setText(QString());
    emit dlg.m_edit->textEdited(QString());
    ui.Clear();
    ui.answers = {IDCANCEL};
    Ok(dlg);
    ASSERT_EQ(ui.Calls(QStringLiteral("MessageBox")).size(), 1u);
    EXPECT_EQ(ui.Calls(QStringLiteral("MessageBox"))[0].text, u"当前未输入调课通知的调课原因，确定要发送吗？");
    EXPECT_EQ(ui.Calls(QStringLiteral("MessageBox"))[0].caption, u"微信通知");
    EXPECT_EQ(m_wx.Count(QStringLiteral("cgi-bin/message/template/send")), 0);

    // confirmed: sent, reported, logged, closed
    dlg.m_edit->setText(QStringLiteral("老师出差"));
    emit dlg.m_edit->textEdited(dlg.m_edit->text());
    ui.Clear();
    ui.answers = {IDOK, IDOK};
    Ok(dlg);
    const auto boxes = ui.Calls(QStringLiteral("MessageBox"));
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, u"即将发送调课通知到以下学员：\r\n\r\n张三 (小明)");
    EXPECT_EQ(boxes[1].text, u"已发送调课通知到以下学员：\r\n\r\n张三 (小明)！");
    EXPECT_EQ(dlg.result(), IDOK);
    const auto sent = m_wx.Calls(QStringLiteral("cgi-bin/message/template/send"));
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].json.value("touser").toString(), u"oS1");
    EXPECT_EQ(sent[0].json.value("data").toObject().value("keyword4").toObject().value("value").toString(),
              u"老师出差");
    EXPECT_EQ(MsgRows(), 1);
    EXPECT_EQ(QueryText(QStringLiteral("SELECT Extr FROM TB_OPERLOG WHERE TypeID=8")), u"老师出差");

    // what was typed becomes the edit's history for this module's notices
    CDlgSendWxMsg next(rcd);
    ASSERT_TRUE(next.Create());
    EXPECT_TRUE(next.m_edit->Buttons().Cmd(ID_EDIT_HISTORY));
    CXArray history(nullptr, true);
    ASSERT_EQ(ReadInputHistory(history, next.m_edit->Buttons().m_strTable, next.m_edit->Buttons().m_strColumn), 1);
    EXPECT_EQ(history.GetAt(0)->m_strName, u"老师出差");
}

// Two lines of one student: both listed, the confirmation names each line, the success
// each student once; previous and next walk the preview.
TEST_F(SendWxMsgDialog, RepeatedStudentAndWalkingThePreview)
{
    Bind(m_school.s1, QStringLiteral("oS1"));
    CXItem* rcd = Read(MDU_EDURCD, m_school.makeUp);
    ASSERT_TRUE(rcd);
    for (const CXItem* h : *rcd->GetHeads()) {
        const auto* head = static_cast<const CHead*>(h);
        if (head->m_nType == XAR && head->m_strName == u"学员") {
            CXArray& students = rcd->Member<CXArray>(head->m_nOffset);
            students.Add(students.GetAt(0)->CopyTo(students.CreateItem()));
        }
    }
    XUiTestHooks ui;
    CDlgSendWxMsg dlg(rcd);
    ASSERT_TRUE(dlg.Create());
    ASSERT_EQ(dlg.m_list->GetItemCount(), 2);
    EXPECT_EQ(dlg.m_nCurrent, 0);
    EXPECT_TRUE(Enabled(dlg, ID_ARROW_DN));
    dlg.DispatchCommand(ID_ARROW_DN);
    EXPECT_EQ(dlg.m_nCurrent, 1);
    EXPECT_FALSE(Enabled(dlg, ID_ARROW_DN));
    EXPECT_TRUE(Enabled(dlg, ID_ARROW_UP));
    ui.answers = {IDOK, IDOK};
    Ok(dlg);
    const auto boxes = ui.Calls(QStringLiteral("MessageBox"));
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, u"即将发送上课提醒到以下学员：\r\n\r\n张三 (小明)、张三 (小明) (2)");
    EXPECT_EQ(boxes[1].text, u"已发送上课提醒到以下学员：\r\n\r\n张三 (小明),张三 (小明) (2)！");
    // each line is a message of its own
    EXPECT_EQ(m_wx.Count(QStringLiteral("cgi-bin/message/template/send")), 2);
    EXPECT_EQ(MsgRows(), 2);
}

TEST_F(SendWxMsgDialog, OffersAtMostFourTemplatesAndNeverOpensWithoutReceivers)
{
    QByteArray xml = "<r>";
    for (int i = 1; i <= 6; ++i)
        xml += "<tmpl mduid=\"MDU_EDURCD\" id=\"T" + QByteArray::number(i) + "\" title=\"模板" + QByteArray::number(i) +
               "\"><item key=\"first\" title=\"\" userdef=\"0\" content=\"[学员]\"/></tmpl>";
    LoadWxTemplates(xml + "<tmpl mduid=\"999\" id=\"X\" title=\"无此模块\"/></r>");
    ASSERT_EQ(FindModule(MDU_EDURCD)->m_wxTmpls.GetSize(), 6);
    EXPECT_EQ(FindModule(MDU_RECEIPT)->m_wxTmpls.GetSize(), 0);

    Bind(m_school.s1, QStringLiteral("oS1"));
    CXItem* rcd = Read(MDU_EDURCD, m_school.makeUp);
    ASSERT_TRUE(rcd);
    {
        CDlgSendWxMsg dlg(rcd);
        ASSERT_TRUE(dlg.Create());
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(Radio(dlg, i)->isVisibleTo(&dlg), i < 4) << i;
        EXPECT_EQ(Radio(dlg, 3)->text(), u"模板4");
    }

    // the trial lesson's student has no WeChat login: a warning instead of the dialog, since
    // nobody could be sent anything
    CXItem* trial = Read(MDU_EDURCD, m_school.trial);
    ASSERT_TRUE(trial);
    XUiTestHooks ui;
    RunSendWxMsg(nullptr, trial);
    const auto boxes = ui.Calls(QStringLiteral("MessageBox"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text,
              QStringLiteral("当前%1中无用户通过微信公众号登录绑定，无法发送微信通知！").arg(trial->GetModuleName()));
    EXPECT_TRUE(ui.Calls(QStringLiteral("Modal")).empty());
}

} // namespace
