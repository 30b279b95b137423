#pragma once

#include "CXArray.h"
#include "CXMap.h"
#include "CXQueryOption.h"
#include "CommandIds.h"
#include "RecordConsts.h"
#include "SqlPrepare.h"
#include "XMenuSpec.h"

#include <QtCore/QString>
#include <QtCore/QStringList>

#include <memory>
#include <mutex>
#include <vector>

// The most query and column schemes the module's menus offer; every one of them responds.
inline constexpr int kMaxQueryMenuSchemes = 30;
inline constexpr int kMaxHeadsMenuSchemes = 20;

class CHeads;
class CXAccessor;
class CXDBSession;
class CXItem;
class CModule;
class QObject;

// What the application shell does for a module: the module's document, its window and
// view. The module core never touches a widget; it asks the installed host.
class XModuleHost
{
public:
    virtual ~XModuleHost() = default;
    // Opens the module's window, or brings it up when it is open. False when none opened.
    virtual bool OpenDocument(CModule& module) = 0;
    // The module's list view, or null when its window is not open.
    virtual QObject* GetView(const CModule& module) const = 0;
    virtual void ActivateView(CModule& module) = 0;
    virtual void UpdateAllViews(CModule& module, int hint) = 0;
    virtual void SetDocumentTitle(CModule& module, const QString& title) = 0;
};

// Installs the host (not owned; null for none) and returns the previous one.
XModuleHost* SetModuleHost(XModuleHost* host);
XModuleHost* GetModuleHost();

// A kind of record the school keeps: one module per kind, created once at start-up in a
// fixed order and living until the program ends. It knows how its records are created,
// read, numbered and titled, which rights exist on them and which query schemes belong to
// them. Everything here but the view access is safe on any thread once start-up is over:
// web threads read records through it.
class CModule
{
public:
    explicit CModule(int mduId);
    CModule(const CModule&) = delete;
    CModule& operator=(const CModule&) = delete;
    virtual ~CModule();

    int GetMduID() const { return m_nMduID; }

    // --- virtual operations ------------------------------------------------------------
    // Titles the module's document with the module's name.
    virtual void SetDefaultTitle();
    // Appends the records that match the query. The base reads with the conditions common
    // to all modules; modules add their own before reading.
    virtual bool QueryItems(CXArray& items, CXMap query, bool bNoImages, bool bExpectOne);
    virtual CXItem* CreateItem() const = 0;
    virtual CHeads* GetHeads() const = 0;
    virtual bool IsHidden() const { return false; }
    virtual bool IsChildListQuery(const CXMap& query) const
    {
        Q_UNUSED(query);
        return false;
    }
    virtual int GetAddNewCmd() const { return 0; }
    virtual bool RequiresQuery() const { return false; }
    // The record-number pattern ("B[Y][nnnn]"); empty for modules without numbers.
    virtual QString GetKeyFormat() const { return QString(); }
    virtual bool ReadLinkTitles(CXDBSession& session, CXArray& items);
    virtual void AddQuickQueries(CXArray& schemes) { Q_UNUSED(schemes); }
    // The latest day the next-period command may reach.
    virtual int GetMaxQueryDate() const;
    // "SELECT ID, <title column> AS ItemTitle FROM <table>", or empty when the field table
    // binds no column to the title.
    virtual QString GetItemTitleSql() const;

    // The parts of the module's document string: description, name, navigation group.
    QString GetName() const;
    QString GetDescription() const;
    QString GetGroupName() const;

    // The shell's part: see XModuleHost. Without a host nothing opens.
    bool OpenDocument();
    QObject* GetView() const;
    void ActivateView();
    void UpdateAllViews(int hint);

    // --- rights ------------------------------------------------------------------------
    // Whether the user may use all the bits on this module.
    bool HasRight(const CXItem& user, int bits) const;
    // Whether all the bits are in the capability word (or the teacher accounts' word).
    bool HasCapability(int bits, bool bTeacherAccount) const;

    // The default password of the module's user accounts (teachers and students); empty
    // for every other module.
    virtual QString GetDefaultPassword() const;

    // --- reading -----------------------------------------------------------------------
    // Empties the conditions and adds those common to every module: ID lists (keys 1 and
    // 2, always as integers) and the quick-find text (key ID_FIND_WHAT) over text columns, link
    // titles and child lines. The find text itself is never written into the SQL: the
    // conditions carry it in the name of their parameter, and ReadItems binds it from there,
    // so a module's own read cannot drop it.
    void BuildQueryConditions(QStringList& conditions, const CXMap& query) const;
    // Reads the records the conditions select, then their long texts, images, child lines
    // and stamps. False after a reported failure; the array holds what was read (nothing
    // when there were too many). The find text the conditions carry (or findText, for
    // conditions naming ":find" themselves) is bound as a pattern that contains it literally.
    bool ReadItems(CXDBSession& session, CXArray& items, const QStringList& conditions, bool bNoImages, bool bExpectOne,
                   const XSqlNameMap* names = nullptr, const QString& findText = QString());
    // Reads the lines of the child field at the offset for all parents in the ID list.
    bool ReadChildItems(CXDBSession& session, int offset, const QString& parentIds, CXArray& target, bool bNoImages,
                        const XSqlNameMap* names = nullptr);

    // The next free record number for the record (ID 0: a new one, dated today); empty
    // after a reported failure.
    QString MakeRecordNumber(CXDBSession& session, int recordId);

    // --- relations ---------------------------------------------------------------------
    // The module a relation command (ID_REL_*) opens; 0 for any other command.
    static int GetRelModuleId(int command);
    // Fills the query that shows the records related to the given ones in the module the
    // command opens: 1 when the query applies, 0 when the command is not handled here (a
    // module's own override handles it), -1 when it cannot apply (no IDs, no target module,
    // no query right there, no stamps to look up). Overrides call this for the others.
    virtual int MakeRelateQuery(const CXArray& items, int command, CXMap& query, const CXItem& user) const;

    // --- queries -----------------------------------------------------------------------
    // The one-line description of a query: with the name flag "全部", the name of the
    // first query scheme with exactly this query or "自定义查询"; with the terms flag a
    // blank and the terms ("[指定学员]") follow when there are any.
    QString GetQueryText(CXMap query, bool bName, bool bTerms);
    // The date-range query (keys QKEY_DATE_FROM..QKEY_DATE_TO) moved one period forward or back; empty when
    // it cannot move. Whole months move by whole months.
    CXMap GetNextPeriod(CXMap query) const;
    CXMap GetPrevPeriod(CXMap query) const;
    // Makes the query current (logged once per change) and shows it in the module's
    // window, opening one when there is none. UI thread only.
    void ApplyQuery(const CXMap& query);

    // --- schemes -----------------------------------------------------------------------
    // Copies of the module's query schemes, read once a day (and at every call while there
    // are none, and again after any query scheme was saved or deleted).
    void GetQuerySchemes(CXArray& schemes);
    // Appends one built-in query scheme holding the query's keys and empties the query.
    void AddQueryScheme(CXArray& schemes, CXMap& query, int users, const QString& name, const QString& memo,
                        bool bSeparator) const;
    // Appends the built-in column schemes "默认", "简要" and "详细" (only those that differ).
    void AddBuiltInHeadSchemes(CXArray& schemes) const;

    // --- menus (the caller shows them) ----------------------------------------------------
    // The custom query, then the query schemes (at most kMaxQueryMenuSchemes).
    XMenuSpec CreateQueryMenu();
    // The column schemes (at most kMaxHeadsMenuSchemes), then the column dialog.
    XMenuSpec CreateHeadsMenu() const;
    // The relation commands; empty when the module relates to nothing.
    XMenuSpec CreateRelateMenu() const;

    int m_nCaps = 0;          // rights the module supports at all
    int m_nOperRights = 0;    // rights an operator gets when a rights row is reset
    int m_nStudentRights = 0; // rights of a student account
    int m_nTeacherRights = 0; // rights of a teacher account

    CXMap m_query;                        // the current query; UI thread only
    CXArray m_headSchemes{nullptr, true}; // the column schemes; UI thread only
    // The module's WeChat message templates (CWxTmpl), filled at start-up and only read
    // afterwards (also by web threads).
    CXArray m_wxTmpls{nullptr, true};
    // The query options in display order: made by the constructor, only read afterwards
    // (also by web threads).
    std::vector<std::unique_ptr<CXQueryOption>> m_options;

private:
    int m_nMduID;
    std::mutex m_csSchemes; // guards the three below
    CXArray m_querySchemes{nullptr, true};
    int m_nSchemeDay = 0;
    unsigned m_nSchemeGeneration = 0;
};

// A module whose records are of one class; its id is the record class's module id.
template <class Record, int AddNewCmd = 0, bool Hidden = false, bool NeedsQuery = false> class CModuleT : public CModule
{
public:
    CModuleT() : CModule(Record::MduID) {}
    CHeads* GetHeads() const override { return Record::StaticHeads(); }
    CXItem* CreateItem() const override { return new Record; }
    bool IsHidden() const override { return Hidden; }
    int GetAddNewCmd() const override { return AddNewCmd; }
    bool RequiresQuery() const override { return NeedsQuery; }
};

// The modules in creation order. The list is complete before any thread but the UI thread
// starts and is only read afterwards.
const std::vector<CModule*>& GetModules();
void RegisterModule(CModule* module); // appended; the caller keeps ownership
void UnregisterModule(CModule* module);

// The one way to reach a module: null when no module has the id.
CModule* FindModule(int mduId);

// The thirteen module ids in the order the application creates them; every walk over the
// modules sees them in this order.
inline constexpr int kModuleCreationOrder[13] = {MDU_RECEIPT,  MDU_COLLECT, MDU_EDURCD, MDU_EDUSCH, MDU_STUDENT,
                                                 MDU_TEACHER,  MDU_WAGES,   MDU_COURSE, MDU_CHARGE, MDU_PRJQUERY,
                                                 MDU_PRJORDER, MDU_TEMPL,   MDU_OPERLOG};

// Sets the module's capability, operator, student-account and teacher-account words from
// the table of the thirteen modules (a module's constructor calls it); other ids stay 0.
void SetDefaultRightsWords(CModule& module);

// A record-number pattern with its date tokens ("[Y]", "[YYYY]", "[MM]", "[D]", ...) filled
// from the date; the counter tokens "[n]".."[nnnnnnnnn]" stay.
QString FillNumberDate(QString pattern, const XDateTime& date);

// Query schemes changed (saved or deleted): every module's scheme cache is read again.
void InvalidateQuerySchemes();

// The most records one read may return.
inline constexpr int kMaxReadItems = 100000;

// Query-map keys the reading itself understands. Keys that are the ids of query-form
// controls (QKEY_MODULE, QKEY_DATE_FROM, ...) are named in CommandIds.h; the quick-find
// text is kept under the id of the find edit, ID_FIND_WHAT.
enum : int {
    QKEY_IDS = 1,     // only these IDs
    QKEY_NOT_IDS = 2, // all but these IDs
};
