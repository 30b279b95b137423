// The preferences dialog over the fixture school, offscreen: what it saves reaches the
// program (the next receipt's number), the manual backup, the group resets, the logos, the
// key test, and an operator who may look but not change.
#include "BackgroundJobThread.h"
#include "CDBReceipt.h"
#include "CDlgAppSetup.h"
#include "CDlgAppSetupPage.h"
#include "CHead.h"
#include "CLorvanApp.h"
#include "CXDBSession.h"
#include "CXListBox.h"
#include "CommandIds.h"
#include "DatabaseBackup.h"
#include "FixtureSchool.h"
#include "ProgramPaths.h"
#include "RecordConsts.h"
#include "RecordWriter.h"
#include "Settings.h"
#include "Version.h"
#include "WxKeyServices.h"
#include "XReadOnly.h"
#include "XUi.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QScrollBar>

#include <gtest/gtest.h>

#include <thread>

namespace {

void Pump()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

// The preferences as the program holds them, the user an administrator until a test says
// otherwise, and the desktop's prompts answered by the test.
class AppSetup : public SchoolTest
{
protected:
    void SetUp() override
    {
        SchoolTest::SetUp();
        m_previous = SetAppServices(&m_app);
        m_previousSetup = SetCurrentSetup(&m_app.m_setup);
        CDBSetup loaded;
        loaded.Load();
        loaded.CopyTo(&m_app.m_setup);
        m_app.m_user.m_nMduID = MDU_TEACHER;
        m_app.m_user.m_nID = m_school.t1;
        m_app.m_user.m_strName = QString::fromUtf8("刘芳");
        m_app.m_user.m_nRightRole = 2;
        m_ui.onModal = [](QDialog*) { return QDialog::Rejected; };
    }
    void TearDown() override
    {
        m_dlg.reset();
        SetCurrentSetup(m_previousSetup);
        SetAppServices(m_previous);
        SchoolTest::TearDown();
    }

    CDlgAppSetup& Open()
    {
        m_dlg = std::make_unique<CDlgAppSetup>();
        m_dlg->Create();
        m_dlg->show();
        Pump();
        return *m_dlg;
    }
    CDlgAppSetupPage& Page() { return *m_dlg->Page(); }
    QWidget* Ctrl(int id) { return Page().GetDlgItem(id); }
    void SetText(int id, const QString& text)
    {
        if (auto* e = qobject_cast<QLineEdit*>(Ctrl(id)))
            e->setText(text);
        else if (auto* c = qobject_cast<QComboBox*>(Ctrl(id)))
            c->setEditText(text);
        else
            ADD_FAILURE() << "no text control " << id;
    }
    QString Text(int id) { return Page().GetControlText(id); }
    void Click(int id)
    {
        auto* b = qobject_cast<QPushButton*>(id == IDOK ? m_dlg->GetDlgItem(IDOK) : Ctrl(id));
        ASSERT_NE(b, nullptr) << id;
        b->click();
        Pump();
    }
    std::vector<QString> Texts(const char* kind) const
    {
        std::vector<QString> texts;
        for (const auto& c : m_ui.Calls(QString::fromLatin1(kind)))
            texts.push_back(c.text);
        return texts;
    }
    static int SetupLogRows()
    {
        return static_cast<int>(QueryNumber(
            QStringLiteral("SELECT COUNT(*) FROM TB_OPERLOG WHERE TypeID=%1").arg(static_cast<int>(OPER_SETUP))));
    }
    static int LogRows() { return static_cast<int>(QueryNumber(QStringLiteral("SELECT COUNT(*) FROM TB_OPERLOG"))); }
    void BecomeOperator() { m_app.m_user.m_nRightRole = 1; }

    CLorvanApp m_app;
    XAppServices* m_previous = nullptr;
    CDBSetup* m_previousSetup = nullptr;
    XUiTestHooks m_ui;
    std::unique_ptr<CDlgAppSetup> m_dlg;
};

// Saves a picture file for the logo tests: a red square on white, without alpha.
QString WritePicture(const QString& folder, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.fillRect(width / 4, height / 4, width / 2, height / 2, Qt::red);
    p.end();
    const QString path = folder + QStringLiteral("/logo.png");
    EXPECT_TRUE(image.save(path));
    return path;
}

} // namespace

// The receipt pattern changed in the dialog (through the program's own preferences command)
// numbers the next receipt; a pattern without a counter is refused at its box and nothing
// is saved.
TEST_F(AppSetup, AChangedNumberPatternNumbersTheNextReceipt)
{
    int rounds = 0;
    m_ui.onModal = [&](QDialog* d) -> int {
        auto* dlg = qobject_cast<CDlgAppSetup*>(d);
        EXPECT_NE(dlg, nullptr);
        if (!dlg)
            return QDialog::Rejected;
        ++rounds;
        dlg->show(); // balloons point at shown controls
        Pump();
        CDlgAppSetupPage& page = *dlg->Page();
        auto* pattern = qobject_cast<QComboBox*>(page.GetDlgItem(IDC_SETUP_KEY_FMT_RCP));
        EXPECT_EQ(pattern->currentText(), QStringLiteral("B[Y][nnnn]"));
        pattern->setEditText(QStringLiteral("R[YYYY]"));
        qobject_cast<QPushButton*>(dlg->GetDlgItem(IDOK))->click();
        Pump();
        EXPECT_TRUE(dlg->isVisible()) << "a pattern without a counter was accepted";
        EXPECT_EQ(SetupLogRows(), 0);
        pattern->setEditText(QStringLiteral("R[YYYY]-[nnn]"));
        qobject_cast<QPushButton*>(dlg->GetDlgItem(IDOK))->click();
        return dlg->result();
    };
    m_app.OnAppCommand(ID_APP_SETUP);
    ASSERT_EQ(rounds, 1);
    ASSERT_EQ(Texts("Balloon").size(), 1u);
    EXPECT_TRUE(Texts("Balloon")[0].contains(QString::fromUtf8("[n…]"))) << Texts("Balloon")[0].toStdString();

    EXPECT_EQ(m_app.m_setup.m_strKeyFmtRcp, QStringLiteral("R[YYYY]-[nnn]"));
    EXPECT_EQ(ReadSetting(QStringLiteral("Global"), QStringLiteral("KeyFmtRcp"), QString()),
              QStringLiteral("R[YYYY]-[nnn]"));
    EXPECT_EQ(SetupLogRows(), 1);
    EXPECT_EQ(QueryText(QStringLiteral("SELECT OperMemo FROM TB_OPERLOG WHERE TypeID=%1").arg(int(OPER_SETUP))),
              QString::fromUtf8("报名收据编号格式：R[YYYY]-[nnn]"));

    CDBReceipt r;
    r.m_student.m_nID = m_school.s4;
    r.m_charge.m_nID = m_school.p1;
    r.m_strPayType = QStringLiteral("现金");
    r.Validate(&FixtureUser(), true);
    ASSERT_TRUE(SaveItem(nullptr, &r, nullptr, FixtureUser()));
    EXPECT_EQ(r.m_strName, QStringLiteral("R2026-001")); // the first of the new pattern in 2026
}

// The manual backup proposes Lorvan_<version>_M_<today>.mdb in the backup folder (created
// when missing), writes a copy that passes the same check as the background job's, writes
// no log row, and asks before replacing an existing file. It works for an operator too.
TEST_F(AppSetup, ManualBackupWritesTheProposedFileAndAsksBeforeReplacing)
{
    BecomeOperator();
    const QString folder = ToExeAbsolutePath(QStringLiteral("backup"));
    ASSERT_FALSE(QFileInfo::exists(folder));
    // today is 2026-03-18
    const QString expected =
        folder + QStringLiteral("/Lorvan_") + FormatVersion(GetOwnFileVersion()) + QStringLiteral("_M_20260318.mdb");
    EXPECT_EQ(ManualBackupName(folder, GetOwnFileVersion(), static_cast<int>(XDateTime(2026, 3, 18).Day())), expected);
    Open();
    const int logRows = LogRows();
    m_ui.fileName = expected;
    Click(IDC_SETUP_BACKUP_NOW);
    ASSERT_EQ(m_ui.Calls(QStringLiteral("Save")).size(), 1u);
    EXPECT_EQ(m_ui.Calls(QStringLiteral("Save"))[0].text, expected);
    EXPECT_EQ(m_ui.Calls(QStringLiteral("Save"))[0].caption, QString::fromUtf8("立即备份"));
    EXPECT_TRUE(QFileInfo(folder).isDir());
    ASSERT_TRUE(QFileInfo::exists(expected));
    EXPECT_TRUE(CheckDatabaseFile(expected));
    const QString source = GetConnectionString();
    EXPECT_EQ(Texts("MessageBox"),
              std::vector<QString>{QString::fromUtf8("已备份 “%1” 至 “%2”。").arg(source, expected)});
    EXPECT_EQ(LogRows(), logRows);

    // onto the existing file: "no" keeps it as it is, "yes" replaces it with a checked copy
    QFile::remove(expected);
    {
        QFile marker(expected);
        ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
        marker.write("not a database");
    }
    m_ui.Clear();
    m_ui.answers = {IDNO};
    Click(IDC_SETUP_BACKUP_NOW);
    ASSERT_EQ(Texts("MessageBox").size(), 1u);
    EXPECT_TRUE(Texts("MessageBox")[0].contains(QString::fromUtf8("要替换它吗")))
        << Texts("MessageBox")[0].toStdString();
    EXPECT_EQ(QFileInfo(expected).size(), 14);

    m_ui.Clear();
    m_ui.answers = {IDYES};
    Click(IDC_SETUP_BACKUP_NOW);
    ASSERT_EQ(Texts("MessageBox").size(), 2u);
    EXPECT_TRUE(Texts("MessageBox")[1].startsWith(QString::fromUtf8("已备份"))) << Texts("MessageBox")[1].toStdString();
    EXPECT_TRUE(CheckDatabaseFile(expected));
    EXPECT_EQ(LogRows(), logRows);
}

// Backing up onto the database in use would replace it under the program's own
// connections: refused with the error message, the database untouched.
TEST_F(AppSetup, ManualBackupRefusesTheDatabaseItself)
{
    Open();
    const QString source = GetConnectionString();
    const qint64 size = QFileInfo(source).size();
    m_ui.fileName = source;
    m_ui.answers = {IDYES};
    Click(IDC_SETUP_BACKUP_NOW);
    ASSERT_EQ(Texts("MessageBox").size(), 2u);
    EXPECT_TRUE(Texts("MessageBox")[1].startsWith(QString::fromUtf8("备份 “"))) << Texts("MessageBox")[1].toStdString();
    EXPECT_EQ(m_ui.Calls(QStringLiteral("MessageBox"))[1].type & 0xF0, int(MB_ICONERROR));
    EXPECT_EQ(QFileInfo(source).size(), size);
    EXPECT_TRUE(CheckDatabaseFile(source));

    // with no backup path the program's folder is shown and proposed
    m_ui.Clear();
    m_ui.fileName.clear();
    SetText(IDC_SETUP_BACKUP_PATH, QString());
    Page().UpdateControls();
    EXPECT_TRUE(qobject_cast<QLabel*>(Ctrl(IDC_SETUP_BACKUP_FOLDER))->text().contains(u'"' + GetExeFolder() + u'"'));
    Click(IDC_SETUP_BACKUP_NOW);
    ASSERT_EQ(m_ui.Calls(QStringLiteral("Save")).size(), 1u);
    EXPECT_EQ(QFileInfo(m_ui.Calls(QStringLiteral("Save"))[0].text).absolutePath(), GetExeFolder());
    EXPECT_TRUE(Texts("MessageBox").empty());
}

// Each reset puts back the defaults of its own group only; the link line follows the
// backup path at once; OK saves exactly what changed.
TEST_F(AppSetup, ResetOfAGroupRestoresItsDefaults)
{
    m_app.m_setup.m_strRecordName = QString::fromUtf8("星光艺校");
    m_app.m_setup.m_strLtdContact = QStringLiteral("0571-88886666");
    m_app.m_setup.m_nRcdAdvance = 30;
    m_app.m_setup.m_strKeyFmtRcp = QStringLiteral("X[nnn]");
    m_app.m_setup.m_nLtdClassForm = 3;
    m_app.m_setup.m_nBackupDays = 7;
    m_app.m_setup.m_strBackupPath = QStringLiteral("copies");
    Open();
    EXPECT_EQ(Text(IDC_SETUP_RECORD_NAME), QString::fromUtf8("星光艺校"));
    auto* folderLink = qobject_cast<QLabel*>(Ctrl(IDC_SETUP_BACKUP_FOLDER));
    EXPECT_TRUE(folderLink->text().contains(ToExeAbsolutePath(QStringLiteral("copies"))));

    const struct
    {
        int button;
        int resetId; // a control of the group, back at its default
        const char* resetTo;
        int keptId; // a control of another group, unchanged
        const char* kept;
    } cases[] = {
        {IDC_SETUP_RESET_OPTIONS, IDC_SETUP_KEY_FMT_RCP, "B[Y][nnnn]", IDC_SETUP_RECORD_NAME, "星光艺校"},
        {IDC_SETUP_RESET_OPTIONS, IDC_SETUP_CLASS_FORM, "默认一对多", IDC_SETUP_BACKUP_PATH, "copies"},
        {IDC_SETUP_RESET_INFO, IDC_SETUP_LTD_CONTACT, "", IDC_SETUP_BACKUP_PATH, "copies"},
        {IDC_SETUP_RESET_BACKUP, IDC_SETUP_BACKUP_PATH, "backup", IDC_SETUP_KEY_FMT_RCP, "B[Y][nnnn]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        Click(c.button);
        EXPECT_EQ(Text(c.resetId), QString::fromUtf8(c.resetTo));
        EXPECT_EQ(Text(c.keptId), QString::fromUtf8(c.kept));
    }
    EXPECT_TRUE(folderLink->text().contains(ToExeAbsolutePath(QStringLiteral("backup"))));
    EXPECT_EQ(Page().m_setup.m_nRcdAdvance, 180);
    EXPECT_EQ(Page().m_setup.m_nBackupDays, 1);
    EXPECT_EQ(Page().m_setup.m_strRecordName, QStringLiteral("Brenvale"));

    Click(IDOK);
    EXPECT_EQ(m_dlg->result(), int(QDialog::Accepted));
    EXPECT_EQ(m_app.m_setup.m_nRcdAdvance, 180);
    EXPECT_EQ(m_app.m_setup.m_nLtdClassForm, 0);
    EXPECT_EQ(m_app.m_setup.m_strBackupPath, QStringLiteral("backup"));
    EXPECT_EQ(m_app.m_setup.m_strRecordName, QStringLiteral("Brenvale"));
}

// An operator sees every field read-only and every changing button disabled; a change
// pushed into a control anyway, a reset command posted anyway and OK store nothing. The
// group list and the scrolling still work.
TEST_F(AppSetup, AnOperatorCannotChangeAnything)
{
    BecomeOperator();
    CDBSetup before;
    m_app.m_setup.CopyTo(&before);
    Open();
    Pump();
    for (const auto& [id, binding] : Page().BindingsByID()) {
        SCOPED_TRACE(id);
        EXPECT_TRUE(IsWndReadOnly(Page().GetDlgItem(id)));
    }
    EXPECT_GE(Page().BindingsByID().size(), 24u);
    for (int id : {IDC_SETUP_RESET_INFO, IDC_SETUP_RESET_LOGO, IDC_SETUP_RESET_OPTIONS, IDC_SETUP_RESET_BACKUP,
                   IDC_SETUP_STD_LOGO_CHANGE, IDC_SETUP_BIG_LOGO_CHANGE, IDC_SETUP_WX_TEST}) {
        SCOPED_TRACE(id);
        EXPECT_FALSE(Ctrl(id)->isEnabled());
    }
    EXPECT_TRUE(Ctrl(IDC_SETUP_BACKUP_NOW)->isEnabled());
    EXPECT_TRUE(m_dlg->GroupList()->isEnabled());
    if (const QByteArray shots = qgetenv("LORVAN_SHOTS"); !shots.isEmpty())
        m_dlg->grab().save(QString::fromUtf8(shots) + QStringLiteral("/setup_operator.png"));

    SetText(IDC_SETUP_RECORD_NAME, QStringLiteral("changed"));
    SetText(IDC_SETUP_KEY_FMT_RCP, QStringLiteral("Z[nn]"));
    XPostCommand(&Page(), IDC_SETUP_RESET_OPTIONS);
    XPostCommand(&Page(), IDC_SETUP_WX_TEST);
    Pump();
    Click(IDOK);
    EXPECT_EQ(m_dlg->result(), int(IDCANCEL));
    EXPECT_EQ(SetupLogRows(), 0);
    const CHeads* heads = CDBSetup::StaticHeads();
    for (int i = 0; i < heads->GetSize(); ++i)
        if (const CHead* h = heads->GetAt(i); IsStoredSetupHead(h))
            EXPECT_TRUE(SameSetupValue(h, before, m_app.m_setup)) << h->m_strColumn.toStdString();
    EXPECT_EQ(ReadSetting(QStringLiteral("Global"), QStringLiteral("RecordName"), QStringLiteral("none")),
              QStringLiteral("none"));
    EXPECT_TRUE(Texts("MessageBox").empty());
}

// The group list and the page's scroll position follow each other both ways; a picture of
// each group is kept when LORVAN_SHOTS names a folder.
TEST_F(AppSetup, GroupListAndScrollFollowEachOther)
{
    // position x groups / range, rounded, within the groups
    const struct
    {
        int pos, groups, range, group;
    } cases[] = {{0, 5, 1000, 0},    {199, 5, 1000, 1}, {600, 5, 1000, 3}, {601, 5, 1003, 3},
                 {1000, 5, 1000, 4}, {50, 5, 0, 0},     {10, 0, 100, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(SetupGroupAtScroll(c.pos, c.groups, c.range), c.group) << c.pos << "/" << c.range;

    Open();
    CXListBox& list = *m_dlg->GroupList();
    ASSERT_EQ(list.count(), 5);
    EXPECT_EQ(list.item(0)->text(), QString::fromUtf8("基本信息"));
    EXPECT_EQ(list.item(4)->text(), QString::fromUtf8("集成微信公众号"));
    EXPECT_EQ(list.currentRow(), 0);
    const int range = Page().ScrollModel(true).Range();
    ASSERT_GT(range, 0) << "the page does not scroll";

    const QByteArray shots = qgetenv("LORVAN_SHOTS");
    int lastPos = -1;
    for (int row = 0; row < list.count(); ++row) {
        list.setCurrentRow(row);
        Pump();
        const int pos = Page().ScrollPos(true);
        EXPECT_EQ(pos, range * row / 5) << row;
        EXPECT_GT(pos, lastPos);
        lastPos = pos;
        EXPECT_EQ(list.currentRow(), row);
        if (!shots.isEmpty())
            m_dlg->grab().save(QString::fromUtf8(shots) + QStringLiteral("/setup_group%1.png").arg(row));
    }
    // and back: the page scrolled to its end and its start selects the last and first group
    Page().OnVScroll(SB_BOTTOM);
    EXPECT_EQ(list.currentRow(), 4);
    Page().OnMouseWheel(range * 2);
    EXPECT_EQ(Page().ScrollPos(true), 0);
    EXPECT_EQ(list.currentRow(), 0);
}

// The login-address box is enabled exactly while an AppID is typed.
TEST_F(AppSetup, TheLoginAddressFollowsTheAppId)
{
    Open();
    EXPECT_FALSE(Ctrl(IDC_SETUP_WX_LOGIN_URL)->isEnabled());
    SetText(IDC_SETUP_WX_APPID, QStringLiteral("wx0123456789abcdef"));
    EXPECT_TRUE(Ctrl(IDC_SETUP_WX_LOGIN_URL)->isEnabled());
    SetText(IDC_SETUP_WX_APPID, QString());
    EXPECT_FALSE(Ctrl(IDC_SETUP_WX_LOGIN_URL)->isEnabled());
}

// The key test: missing keys are pointed at; unchanged keys save nothing and report what
// the WeChat service says (this version has none, and says so); changed keys are saved
// first when the user agrees, and not at all when he cancels.
TEST_F(AppSetup, TheKeyTestSavesChangedKeysFirst)
{
    m_app.m_setup.m_strWxAppID = QStringLiteral("wxold");
    m_app.m_setup.m_strWxAppSecret = QStringLiteral("secret-old");
    Open();
    SetText(IDC_SETUP_WX_SECRET, QString());
    Click(IDC_SETUP_WX_TEST);
    EXPECT_EQ(Texts("Balloon"), std::vector<QString>{QString::fromUtf8("未填写开发者密码 (AppSecret)！")});
    EXPECT_TRUE(Texts("MessageBox").empty());

    // unchanged: the built-in service answers that it does not exist
    m_ui.Clear();
    SetText(IDC_SETUP_WX_SECRET, QStringLiteral("secret-old"));
    Click(IDC_SETUP_WX_TEST);
    EXPECT_EQ(Texts("MessageBox"),
              std::vector<QString>{QString::fromUtf8("此版本尚未提供微信公众号服务，无法测试连接。")});
    EXPECT_EQ(SetupLogRows(), 0);

    // an installed service's token decides the answer
    XWxTokenState state{true, QString()};
    const auto previous = WxTokenGetter().Install([&state] { return state; });
    m_ui.Clear();
    Click(IDC_SETUP_WX_TEST);
    state.strToken = QStringLiteral("token-1");
    Click(IDC_SETUP_WX_TEST);
    ASSERT_EQ(Texts("MessageBox").size(), 2u);
    EXPECT_TRUE(Texts("MessageBox")[0].startsWith(QString::fromUtf8("未成功连接微信公众号")));
    EXPECT_EQ(Texts("MessageBox")[1], QString::fromUtf8("已成功连接微信公众号！"));

    // changed keys, cancelled: nothing saved, nothing tested
    m_ui.Clear();
    SetText(IDC_SETUP_WX_APPID, QStringLiteral("wxnew"));
    m_ui.answers = {IDCANCEL};
    Click(IDC_SETUP_WX_TEST);
    EXPECT_EQ(Texts("MessageBox"),
              std::vector<QString>{QString::fromUtf8("微信公众号 AppID 和 AppSecret 已改变，将在保存后继续！")});
    EXPECT_EQ(m_app.m_setup.m_strWxAppID, QStringLiteral("wxold"));

    // agreed: saved at once (the token thread is asked and answers), then tested
    WxRefreshEvent().Reset();
    std::thread tokenThread([] {
        if (WxRefreshEvent().Wait(std::chrono::milliseconds(5000)))
            WxRefreshedEvent().Set();
    });
    m_ui.Clear();
    m_ui.answers = {IDOK};
    Click(IDC_SETUP_WX_TEST);
    tokenThread.join();
    ASSERT_EQ(Texts("MessageBox").size(), 2u);
    EXPECT_EQ(Texts("MessageBox")[1], QString::fromUtf8("已成功连接微信公众号！"));
    EXPECT_EQ(m_app.m_setup.m_strWxAppID, QStringLiteral("wxnew"));
    EXPECT_EQ(ReadSetting(QStringLiteral("Global"), QStringLiteral("WxAppID"), QString()), QStringLiteral("wxnew"));
    EXPECT_EQ(SetupLogRows(), 1);
    WxTokenGetter().Install(previous);
    WxRefreshEvent().Set(); // as it starts
}

// A replaced logo is stored at once as a logo row (module 0, person 0), 100 pixels high
// with white made transparent; it becomes the logo in use only when the dialog is saved,
// and a cancelled dialog leaves the row for the next save to remove. A file that is no
// picture is reported and changes nothing.
TEST_F(AppSetup, ALogoIsStoredAtOnceAndUsedWhenSaved)
{
    const QString picture = WritePicture(m_db.Home(), 300, 200);
    Open();
    m_ui.fileName = picture;
    Click(IDC_SETUP_STD_LOGO_CHANGE);
    EXPECT_TRUE(Texts("MessageBox").empty());
    ASSERT_EQ(m_ui.Calls(QStringLiteral("Open")).size(), 1u);
    EXPECT_EQ(m_ui.Calls(QStringLiteral("Open"))[0].caption, QString::fromUtf8("更换"));
    const int row = Page().m_setup.m_imgStdLogo.m_nPhotoID;
    ASSERT_GT(row, 0);
    EXPECT_EQ(QueryNumber(QStringLiteral("SELECT MduID+PersonID FROM TB_PHOTO WHERE ID=%1").arg(row)), 0);
    const QImage stored = Page().m_setup.m_imgStdLogo.GetImage();
    EXPECT_EQ(stored.height(), 100);
    EXPECT_EQ(stored.width(), 150);               // 300 x 200 scaled to 100 high
    EXPECT_EQ(qAlpha(stored.pixel(2, 2)), 0);     // white corner
    EXPECT_EQ(qAlpha(stored.pixel(75, 50)), 255); // red centre
    EXPECT_EQ(m_app.m_setup.m_imgStdLogo.m_nPhotoID, 0);
    if (const QByteArray shots = qgetenv("LORVAN_SHOTS"); !shots.isEmpty())
        m_dlg->grab().save(QString::fromUtf8(shots) + QStringLiteral("/setup_logo.png"));

    Click(IDC_SETUP_BIG_LOGO_CHANGE);
    const int bigRow = Page().m_setup.m_imgBigLogo.m_nPhotoID;
    EXPECT_GT(bigRow, row);
    m_dlg->reject();
    EXPECT_EQ(m_app.m_setup.m_imgStdLogo.m_nPhotoID, 0);
    EXPECT_EQ(QueryNumber(QStringLiteral("SELECT COUNT(*) FROM TB_PHOTO WHERE ID=%1").arg(row)), 1);

    // the next save keeps the logo it uses and removes the one nobody uses
    m_ui.Clear();
    Open();
    Click(IDC_SETUP_STD_LOGO_CHANGE);
    const int used = Page().m_setup.m_imgStdLogo.m_nPhotoID;
    Click(IDOK);
    EXPECT_EQ(m_app.m_setup.m_imgStdLogo.m_nPhotoID, used);
    EXPECT_EQ(QueryNumber(QStringLiteral("SELECT COUNT(*) FROM TB_PHOTO WHERE MduID=0 AND PersonID=0")), 1);

    m_ui.Clear();
    Open();
    const QString notAPicture = m_db.Home() + QStringLiteral("/notes.png");
    {
        QFile f(notAPicture);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("plain text");
    }
    m_ui.fileName = notAPicture;
    Click(IDC_SETUP_BIG_LOGO_CHANGE);
    ASSERT_EQ(Texts("MessageBox").size(), 1u);
    EXPECT_TRUE(
        Texts("MessageBox")[0].startsWith(QString::fromUtf8("打开 “") + notAPicture + QString::fromUtf8("” 失败！")));
    EXPECT_EQ(Page().m_setup.m_imgBigLogo.m_nPhotoID, 0);
}
