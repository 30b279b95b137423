#include "CDBReceipt.h"

#include "CModule.h"
#include "CommandIds.h"
#include "FormatString.h"
#include "Resources.h"
#include "TextUtils.h"

#include <algorithm>
#include <memory>

#define RCP_OFFSET(member) XOFFSET(CDBReceipt, member)
// A member of the embedded package, as an offset in the receipt.
#define RCP_CHG(member) (XOFFSET(CDBReceipt, m_charge) + XOFFSET(CDBCharge, member))
#define ALT_OFFSET(member) XOFFSET(CDBReceiptAlter, member)

namespace {

const QString kLongDate = QStringLiteral("%Y年%#m月%#d日");

int WholeDay(const XDateTime& date) { return static_cast<int>(date.Day()); }

QString DateText(const XDateTime& date) { return date.Day() == 0 ? QString() : date.Format(kLongDate); }

// The three parts of one adjustment: its flag, value and note.
struct XAdjust
{
    const char16_t* name;
    int flag, value, memo;
};

const XAdjust kAdjusts[] = {
    {u"折扣", RCP_OFFSET(m_nAdjDcnt), RCP_OFFSET(m_nAdjDcntVal), RCP_OFFSET(m_strAdjDcntMemo)},
    {u"价格", RCP_OFFSET(m_nAdjPrice), RCP_OFFSET(m_fAdjPriceVal), RCP_OFFSET(m_strAdjPriceMemo)},
    {u"课时", RCP_OFFSET(m_nAdjLsn), RCP_OFFSET(m_nAdjLsnVal), RCP_OFFSET(m_strAdjLsnMemo)},
    {u"礼品", RCP_OFFSET(m_nAdjGift), RCP_OFFSET(m_fAdjGiftVal), RCP_OFFSET(m_strAdjGiftMemo)},
    {u"开课日期", RCP_OFFSET(m_nAdjBgn), RCP_OFFSET(m_dtAdjBgnVal), RCP_OFFSET(m_strAdjBgnMemo)},
    {u"有效期", RCP_OFFSET(m_nAdjValid), RCP_OFFSET(m_nAdjValidVal), RCP_OFFSET(m_strAdjValidMemo)},
};

} // namespace

// ---------------------------------------------------------------------------------------
// Course lines and alterations

CHeads* CDBReceiptCourse::StaticHeads()
{
    return BuildHeadsOnce<CDBReceiptCourse>([](CHeads& heads) {
        heads.m_strItemType = QStringLiteral("课程");
        heads.m_strItemUnit = QStringLiteral("门");
        heads.SetSqlResource(448);
        const QString none;
        heads.AddViewColumnHead({}, QStringLiteral("ParentID"), QStringLiteral("ID"), XIN,
                                XOFFSET(CDBReceiptCourse, m_nParentID), none, none, 0, 0, 0, none);
        heads.AddViewColumnHead({}, QStringLiteral("课程"), QStringLiteral("CourseID"), XLK, 0, none, none, 512, 513, 0,
                                none);
    });
}

CHeads* CDBReceiptAlter::StaticHeads()
{
    return BuildHeadsOnce<CDBReceiptAlter>([](CHeads& heads) {
        heads.m_strItemType = QStringLiteral("后期变更");
        heads.m_strItemUnit = QStringLiteral("项");
        heads.m_strTable = QStringLiteral("TB_RECEIPT_ALTER");
        const QString none, nothing = QStringLiteral("无");
        heads.AddViewColumnHead({}, QStringLiteral("PrimaryKey"), QStringLiteral("ID"), XIN, ALT_OFFSET(m_nSubID), none,
                                none, 0, 0, 0, none);
        heads.AddViewColumnHead({}, QStringLiteral("ParentID"), QStringLiteral("ReceiptID"), XIN,
                                ALT_OFFSET(m_nParentID), none, none, 0, 0, 0, none);
        heads.AddHead({}, QStringLiteral("日期"), 9, QStringLiteral("RecordDate"), XDT, ALT_OFFSET(m_dtDate), kToday, 0,
                      kToday, none, none, 512 | 1, 513, 0, QStringLiteral("变更日期"));
        heads.AddColumnHead({}, QStringLiteral("变更"), 9, QStringLiteral("AlterType"), XIN, ALT_OFFSET(m_nAlterType),
                            QStringLiteral("变更|退费"), QStringLiteral("变更"), 512, 513, 0, none);
        // as wide as an alteration of all three: "¥+1,500.00+10 次+30 天"
        heads.AddComputedHead({}, QStringLiteral("变更项"), XSW, CHeads::Getter(&CDBReceiptAlter::GetAlterText), none,
                              nothing, 512, 513, 20, none);
        heads.AddColumnHead({}, QStringLiteral("金额"), 9, QStringLiteral("AlterPrice"), XNU, ALT_OFFSET(m_fAlterPrice),
                            QStringLiteral("¥%+1.2f"), nothing, 0, 1, 0, QStringLiteral("实收金额变更"));
        heads.AddColumnHead({}, QStringLiteral("课时"), 9, QStringLiteral("AlterLesson"), XIN,
                            ALT_OFFSET(m_nAlterLesson), QStringLiteral("%+d 次"), nothing, 0, 1, 0,
                            QStringLiteral("课时变更"));
        heads.AddColumnHead({}, QStringLiteral("有效期"), 9, QStringLiteral("AlterValid"), XIN,
                            ALT_OFFSET(m_nAlterValid), QStringLiteral("%+d 天"), nothing, 0, 1, 0,
                            QStringLiteral("有效期变更"));
        heads.AddColumnHead({}, QStringLiteral("知情人"), 9, QStringLiteral("Insider"), XSW, ALT_OFFSET(m_strInsider),
                            none, QStringLiteral("空"), 0, 513, 0, none);
        heads.AddColumnHead({}, QStringLiteral("备注"), 9, QStringLiteral("RecordMemo"), XSW, ALT_OFFSET(m_strMemo),
                            none, QStringLiteral("空"), 0, 513, 0, none);
    });
}

QString CDBReceiptAlter::GetAlterText() const
{
    QString text;
    const CHeads* heads = StaticHeads();
    if (m_fAlterPrice != 0)
        text += FormatText(heads->FindByOffset(ALT_OFFSET(m_fAlterPrice)), true, true, true);
    if (m_nAlterLesson != 0)
        text += FormatText(heads->FindByOffset(ALT_OFFSET(m_nAlterLesson)), true, true, true);
    if (m_nAlterValid != 0)
        text += FormatText(heads->FindByOffset(ALT_OFFSET(m_nAlterValid)), true, true, true);
    return text;
}

int CDBReceiptAlter::GetAccess(const CHead* head, const CXItem* user) const
{
    const int access = CXItem::GetAccess(head, user);
    if (head->m_pfnGet || head->m_nOffset != ALT_OFFSET(m_nAlterValid))
        return access;
    if (m_nAlterType == 1)
        return -1;
    const CXItem* owner = m_pArray ? m_pArray->m_pParent : nullptr;
    if (owner && owner->m_nMduID == MDU_RECEIPT && static_cast<const CDBReceipt*>(owner)->m_charge.m_nFixedDate)
        return -1;
    return access;
}

int CDBReceiptAlter::Validate(const CXItem* user, bool bCheckDuplicates)
{
    m_status.clear();
    if (m_nAlterType == 1) {
        // a refund gives money back, never takes more
        m_nAlterLesson = 0;
        m_nAlterValid = 0;
        m_fAlterPrice = std::min(m_fAlterPrice, 0.0);
    } else if (m_fAlterPrice == 0 && m_nAlterLesson == 0 && m_nAlterValid == 0) {
        AddStatus(ST_STOP, &m_fAlterPrice, "请输入有效的价格、课时或有效期变更！");
    }
    if (m_strInsider.isEmpty() && m_strMemo.isEmpty())
        AddStatus(ST_STOP, &m_strInsider, "请输入知情人或备注！");
    return CXItem::Validate(user, bCheckDuplicates);
}

// ---------------------------------------------------------------------------------------
// The receipt's field table

CHeads* CDBReceipt::StaticHeads()
{
    return BuildHeadsOnce<CDBReceipt>([](CHeads& heads) {
        heads.m_strItemType = QStringLiteral("报名收据");
        heads.m_strItemUnit = QStringLiteral("项");
        heads.m_strTable = QStringLiteral("TB_RECEIPT");
        heads.m_bGoodStatus = 1;
        heads.SetSqlResource(437);
        const QString none, nothing = QStringLiteral("无"), empty = QStringLiteral("空"),
                            noRecord = QStringLiteral("无记录"), pending = QStringLiteral("..."),
                            longTerm = QStringLiteral("长期"), lessons = QStringLiteral("%d 次"),
                            weekly = QStringLiteral("%d 次/周");
        const QString onOff = QStringLiteral("无|有");
        const XGroup charge(u"课时包"), adjust(u"调整"), alter(u"后期变更"), stats(u"统计"), print(u"打印");
        const QString pkgHelp = QStringLiteral("课时包设定");
        // words: input 9 = E W, 10 = E W!, 1 = R W; columns 16 = P, 17 = D P, 537 = V B D P
        const auto adjustHeads = [&](const char16_t* flagCaption, const char* flagColumn, int flag,
                                     const char16_t* valueCaption, const char* valueColumn, int type, int value,
                                     int def, int min, int max, const QString& format, const char16_t* memoCaption,
                                     const char* memoColumn, int memo) {
            // the flags are the view's: derived from the values, never stored
            heads.AddColumnHead(adjust, QString::fromUtf16(flagCaption), 9, QString::fromUtf8(flagColumn), XIN, flag,
                                onOff, none, 0, 17, 0, none);
            heads.AddHead(adjust, QString::fromUtf16(valueCaption), 9, QString::fromUtf8(valueColumn), type, value, def,
                          min, max, format, nothing, 0, 17, 0, none);
            heads.AddColumnHead(adjust, QString::fromUtf16(memoCaption), 9, QString::fromUtf8(memoColumn), XSW, memo,
                                none, empty, 0, 17, 0, QString::fromUtf16(memoCaption));
        };

        heads.AddViewColumnHead({}, QStringLiteral("PrimaryKey"), QStringLiteral("ID"), XIN, RCP_OFFSET(m_nID), none,
                                none, 0, 0, 0, none);
        heads.AddColumnHead({}, QStringLiteral("编号"), 8 | 128, QStringLiteral("KeyName"), XSW, RCP_OFFSET(m_strName),
                            none, empty, 0, 601, 0, none);
        heads.AddHead({}, QStringLiteral("日期"), 9, QStringLiteral("PayDate"), XDT, RCP_OFFSET(m_dtDate), kToday, 0,
                      kToday, none, none, 512 | 8 | 2, 601, 0, none);
        heads.AddColumnHead({}, QStringLiteral("学员"), 10, QStringLiteral("StudentID"), XLK, RCP_OFFSET(m_student),
                            none, none, 512, 537, 0, QStringLiteral("交款学员"));
        heads.AddColumnHead({}, QStringLiteral("交款人"), 9, QStringLiteral("Payer"), XSW, RCP_OFFSET(m_strPayer), none,
                            QStringLiteral("本人"), 0, 17, 0, QStringLiteral("未成年学员报名时应指定实际交款人"));
        heads.AddColumnHead({}, QStringLiteral("课程"), 1, QString(), XAR, RCP_OFFSET(m_courses), none, none, 512, 537,
                            10,
                            QStringLiteral("此报名收据的适用课程，通常是一个，允许多门适用课程，此时这此课程可 "
                                           "“共用课时”"));
        heads.AddColumnHead(charge, QStringLiteral("课时包"), 10, QStringLiteral("ChargeID"), XLK, RCP_OFFSET(m_charge),
                            none, none, 0, 537, 20, QStringLiteral("此报名收据所执行的课时包"));
        heads.AddViewColumnHead(
            charge, QStringLiteral("计费"), QStringLiteral("ClassType"), XIN, RCP_CHG(m_nClassType),
            QStringLiteral("计次|定期"), none, 0, 537, 0,
            QStringLiteral(
                "课时包设定：计次或定期。计次时当上课达到规定的次数后结课，定期时不计上课次数，报名收据在超出 "
                "“有效期” 或 “排课日” 后结课"));
        heads.AddViewColumnHead(
            charge, QStringLiteral("排课"), QStringLiteral("FixedDate"), XIN, RCP_CHG(m_nFixedDate),
            QStringLiteral("长期|短期"), none, 0, 537, 0,
            QStringLiteral("课时包设定：长期或短期。长期指长年开设无中断的课程，例如多数艺术类课程，“计费方式” 为 "
                           "“计次” 时，报名收据在超出 “有效期” "
                           "后不会自动结课，短期指在固定时期开设的课程、例如多数文化类课程，此时无论何种 "
                           "“计费方式”，报名收据在超出 “排课日” 后结课"));
        heads.AddViewColumnHead(charge, QStringLiteral("单价"), QStringLiteral("UnitPrice"), XNU, RCP_CHG(m_fUnitPrice),
                                QStringLiteral("¥%1.2f /次"), none, 0, 17, 0, pkgHelp);
        heads.AddViewColumnHead(charge, QStringLiteral("每期课时"), QStringLiteral("LessonNum"), XIN,
                                RCP_CHG(m_nLessonNum), QStringLiteral("%d 次/期"), none, 0, 17, 0, pkgHelp);
        heads.AddViewColumnHead(charge, QStringLiteral("每期价格"), QStringLiteral("ChgPrice"), XNU,
                                RCP_CHG(m_fChgPrice), none, none, 0, 17, 0, pkgHelp);
        heads.AddComputedHead({}, QStringLiteral("开结课日期"), XDR, CHeads::Getter(&CDBReceipt::GetUsefulRange), none,
                              longTerm, 0, 1, 0, QStringLiteral("短期排课方式时的开课日期和结课日期"));
        heads.AddViewColumnHead(charge, QStringLiteral("开课日期"), QStringLiteral("UsefulBgn"), XDT,
                                RCP_CHG(m_dtUsefulBgn), none, longTerm, 0, 17, 0,
                                QStringLiteral("短期排课方式时的开课日期"));
        heads.AddViewColumnHead(charge, QStringLiteral("结课日期"), QStringLiteral("UsefulEnd"), XDT,
                                RCP_CHG(m_dtUsefulEnd), none, longTerm, 0, 17, 0,
                                QStringLiteral("短期排课方式时的结课日期"));
        heads.AddViewColumnHead(charge, QStringLiteral("有效期长"), QStringLiteral("ValidDays"), XIN,
                                RCP_CHG(m_nValidDays), QStringLiteral("%d 天"), none, 0, 17, 0,
                                QStringLiteral("长期排课方式时的有效期长"));
        heads.AddComputedHead(adjust, QStringLiteral("调整项"), XSW, CHeads::Getter(&CDBReceipt::GetAdjustNames), none,
                              none, 0, 16, 0,
                              QStringLiteral("开具本收据时有调整的项，包括折扣、价格、课时、有效期、开课日期、礼品"));
        heads.AddComputedHead(adjust, QStringLiteral("调整"), XSW, CHeads::Getter(&CDBReceipt::GetAdjustValues), none,
                              nothing, 0, 24, 10,
                              QStringLiteral("开具本收据时的调整值，包括折扣、价格、课时、有效期、上课日期、礼品"));
        heads.AddComputedHead(adjust, QStringLiteral("调整说明"), XSW, CHeads::Getter(&CDBReceipt::GetAdjustMemos),
                              none, none, 0, 16, 0,
                              QStringLiteral("开具本收据时的调整说明，包括折扣、价格、课时、有效期、上课日期、礼品"));
        adjustHeads(u"折扣", "AdjDcnt", RCP_OFFSET(m_nAdjDcnt), u"折扣值", "AdjDcntVal", XIN, RCP_OFFSET(m_nAdjDcntVal),
                    100, 10, 100, QStringLiteral("%d %"), u"折扣说明", "AdjDcntMemo", RCP_OFFSET(m_strAdjDcntMemo));
        adjustHeads(u"价格调整", "AdjPrice", RCP_OFFSET(m_nAdjPrice), u"价格调整值", "AdjPriceVal", XNU,
                    RCP_OFFSET(m_fAdjPriceVal), 0, 0, 0, QStringLiteral("¥%+1.2f"), u"价格调整说明", "AdjPriceMemo",
                    RCP_OFFSET(m_strAdjPriceMemo));
        adjustHeads(u"课时调整", "AdjLsn", RCP_OFFSET(m_nAdjLsn), u"课时调整值", "AdjLsnVal", XIN,
                    RCP_OFFSET(m_nAdjLsnVal), 0, 0, 0, QStringLiteral("%+d 次"), u"课时调整说明", "AdjLsnMemo",
                    RCP_OFFSET(m_strAdjLsnMemo));
        adjustHeads(u"礼品", "AdjGift", RCP_OFFSET(m_nAdjGift), u"礼品价值", "AdjGiftVal", XNU,
                    RCP_OFFSET(m_fAdjGiftVal), 0, 0, 0, QStringLiteral("礼 ¥%1.2f"), u"礼品说明", "AdjGiftMemo",
                    RCP_OFFSET(m_strAdjGiftMemo));
        adjustHeads(u"上课日调整", "AdjBgn", RCP_OFFSET(m_nAdjBgn), u"上课日调整至", "AdjBgnVal", XDT,
                    RCP_OFFSET(m_dtAdjBgnVal), 0, 0, 0, none, u"上课日调整说明", "AdjBgnMemo",
                    RCP_OFFSET(m_strAdjBgnMemo));
        adjustHeads(u"有效期调整", "AdjValid", RCP_OFFSET(m_nAdjValid), u"有效期调整值", "AdjValidVal", XIN,
                    RCP_OFFSET(m_nAdjValidVal), 0, 0, 0, QStringLiteral("%+d 天"), u"有效期调整说明", "AdjValidMemo",
                    RCP_OFFSET(m_strAdjValidMemo));
        heads.AddHead({}, QStringLiteral("数量"), 9, QStringLiteral("PayNum"), XIN, RCP_OFFSET(m_nPayNum), 1, 1, 99,
                      QStringLiteral("%d 期"), none, 0, 25, 0, none);
        heads
            .AddViewColumnHead({}, QStringLiteral("课时"), QStringLiteral("Lesson"), XIN, RCP_OFFSET(m_nLesson),
                               lessons, pending, 512, 529, 0,
                               QStringLiteral("开具收据时的实际课时=标准课时+课时调整（未计入后期变更）"))
            ->m_nHttpNew = 1;
        const QString bgnHelp = QStringLiteral("开具收据时根据课时包和调整确定的开始上课日期（未计入后期变更）");
        heads
            .AddMemberHead({}, QStringLiteral("有效期"), XDR, RCP_OFFSET(m_validity), none, pending, 0, 16, 0, bgnHelp)
            ->m_nHttpNew = 1;
        heads.AddViewColumnHead({}, QStringLiteral("生效日期"), QStringLiteral("Bgn"), XDT,
                                RCP_OFFSET(m_validity.m_begin), none, pending, 0, 16, 0, bgnHelp);
        heads.AddViewColumnHead({}, QStringLiteral("失效日期"), QStringLiteral("PayValid"), XDT,
                                RCP_OFFSET(m_validity.m_end), none, pending, 0, 16, 0,
                                QStringLiteral("开具收据时根据课时包和调整确定的报名有效期（未计入后期变更）"));
        heads
            .AddViewColumnHead({}, QStringLiteral("金额"), QStringLiteral("Pay"), XNU, RCP_OFFSET(m_fPay), none,
                               pending, 0, 529, 0,
                               QStringLiteral("开具收据时的实收金额=标准价格*折扣+价格调整（未计入后期变更）"))
            ->m_nHttpNew = 1;
        heads.AddComputedHead({}, QStringLiteral("大写金额"), XSW, CHeads::Getter(&CDBReceipt::GetPayUpper), none,
                              pending, 0, 17, 0, none);
        heads.AddColumnHead({}, QStringLiteral("支付方式"), 10, QStringLiteral("PayType"), XSW,
                            RCP_OFFSET(m_strPayType), none, empty, 0, 17, 0,
                            QStringLiteral("现金、支付宝、微信、POS 等"));
        heads.AddComputedHead({}, QStringLiteral("经手人"), XSW, CHeads::Getter(&CDBReceipt::GetHandler), none, nothing,
                              0, 25, 0, QStringLiteral("开具此收据的用户"));
        heads.AddViewColumnHead({}, QStringLiteral("新报名"), QStringLiteral("NewCheckIn"), XIN,
                                RCP_OFFSET(m_nNewCheckIn), QStringLiteral("否|是"), none, 0, 521, 0,
                                QStringLiteral("本报名收据对应的课程是否是该学员首次报名"));
        heads.AddViewColumnHead({}, QStringLiteral("已续费"), QStringLiteral("HasRenew"), XIN, RCP_OFFSET(m_nHasRenew),
                                QStringLiteral("否|是"), none, 0, 521, 0,
                                QStringLiteral("本报名收据对应的课程是否已有续费"));
        heads.AddColumnHead({}, QStringLiteral("备注"), 9, QStringLiteral("RecordMemo"), XSW, RCP_OFFSET(m_strMemo),
                            none, empty, 0, 537, 0, none);
        heads.AddColumnHead(alter, QStringLiteral("后期变更"), 8, QString(), XAR, RCP_OFFSET(m_alters), none, noRecord,
                            0, 521, 15, QStringLiteral("开具收据之后的变更项，包括价格、课时、有效期、退费"));
        heads.AddViewColumnHead(alter, QStringLiteral("变更金额"), QStringLiteral("AltPrice"), XNU,
                                RCP_OFFSET(m_fAltPrice), QStringLiteral("¥+%1.2f"), nothing, 0, 1, 0,
                                QStringLiteral("开具收据之后变更的价格"));
        heads.AddViewColumnHead(alter, QStringLiteral("变更课时"), QStringLiteral("AltLesson"), XIN,
                                RCP_OFFSET(m_nAltLesson), QStringLiteral("%+d 次"), nothing, 0, 1, 0,
                                QStringLiteral("开具收据之后变更的课时数"));
        heads.AddViewColumnHead(alter, QStringLiteral("变更有效期"), QStringLiteral("AltValid"), XIN,
                                RCP_OFFSET(m_nAltValid), QStringLiteral("%+d 天"), nothing, 0, 1, 0,
                                QStringLiteral("开具收据之后变更的有效期长"));
        heads.AddViewColumnHead(alter, QStringLiteral("最近变更"), QStringLiteral("AltMax"), XDT,
                                RCP_OFFSET(m_dtAltMax), none, noRecord, 0, 1, 0, QStringLiteral("最近变更日期"));
        heads.AddViewColumnHead(alter, QStringLiteral("最近退费"), QStringLiteral("AltRtr"), XDT,
                                RCP_OFFSET(m_dtAltRtr), none, noRecord, 0, 1, 0, QStringLiteral("最近退费日期"));
        heads.AddViewColumnHead(ID_REL_EDUSCH, QStringLiteral("全部排课"), QStringLiteral("SchAll"), XIN,
                                RCP_OFFSET(m_nSchAll), weekly, nothing, 0, 1, 0,
                                QStringLiteral("报名学员对应课程的全部课程表"));
        heads.AddViewColumnHead(ID_REL_EDUSCH, QStringLiteral("当前排课"), QStringLiteral("SchCur"), XIN,
                                RCP_OFFSET(m_nSchCur), weekly, nothing, 0, 1, 0,
                                QStringLiteral("报名学员对应课程的当前课程表"));
        heads.AddViewColumnHead(ID_REL_EDURCD, QStringLiteral("已消课时"), QStringLiteral("CountIn"), XIN,
                                RCP_OFFSET(m_nCountIn), lessons, nothing, 0, 0, 0, QStringLiteral("累计已消课时"));
        heads.AddViewColumnHead(ID_REL_EDURCD, QStringLiteral("失效课时"), QStringLiteral("LsnInvalid"), XIN,
                                RCP_OFFSET(m_nLsnInvalid), lessons, nothing, 0, 0, 0,
                                QStringLiteral("因退费或定期/短期课程超过有效期等原因失效的课时"));
        heads.AddViewColumnHead(ID_REL_EDURCD, QStringLiteral("首次考勤"), QStringLiteral("rcdMin"), XDT,
                                RCP_OFFSET(m_rcd.m_begin), none, noRecord, 0, 1, 0, none);
        heads.AddViewColumnHead(ID_REL_EDURCD, QStringLiteral("最近考勤"), QStringLiteral("rcdMax"), XDT,
                                RCP_OFFSET(m_rcd.m_end), none, noRecord, 0, 1, 0, none);
        heads.AddViewColumnHead(stats, QStringLiteral("有效金额"), QStringLiteral("PayEnd"), XNU, RCP_OFFSET(m_fPayEnd),
                                none, none, 0, 9, 0, QStringLiteral("计入后期变更后的有效金额"));
        heads.AddViewColumnHead(stats, QStringLiteral("实际课时"), QStringLiteral("LessonEnd"), XIN,
                                RCP_OFFSET(m_nLessonEnd), lessons, nothing, 0, 1, 0,
                                QStringLiteral("计入后期变更后的有效课时"));
        heads.AddViewColumnHead(stats, QStringLiteral("已清零"), QStringLiteral("ZeroLesson"), XIN,
                                RCP_OFFSET(m_nZeroLesson), none, none, 0, 0, 0,
                                QStringLiteral("本报名收据的剩余课时是否因退费或超期原因清零"));
        heads.AddViewColumnHead(stats, QStringLiteral("剩余课时"), QStringLiteral("Remained"), XIN,
                                RCP_OFFSET(m_nRemained), lessons, nothing, 0, 585, 10,
                                QStringLiteral("总课时-已消课时-当前消课(上标)±失效课时(下标)=剩余课时"));
        heads.AddViewColumnHead(stats, QStringLiteral("最终有效期"), QStringLiteral("ValidEnd"), XDT,
                                RCP_OFFSET(m_dtValidEnd), none, noRecord, 0, 585, 0,
                                QStringLiteral("计入后期变更后的有效期，如果已退费，则是退费日期"));
        heads.AddViewColumnHead(stats, QStringLiteral("状态"), QStringLiteral("ItemStatus"), XIN,
                                RCP_OFFSET(m_nItemStatus), QStringLiteral("|停课|超期|上课|超课|结课|退费"), none,
                                64 | 16, 585, 0, none);
        heads.AddComputedHead(print, QStringLiteral("ID"), XRW, CHeads::RowGetter(&CDBReceipt::GetRowNumber), none,
                              none, 0, 16, 0,
                              QStringLiteral("报名课时数。仅用于打印，所在的表格行将被复制出多行，行数量对应于报名课时"
                                             "数，其所在位置被替换成从 1 开始递增的序号。"));
        heads.AddMemberHead(ID_REL_EDITLOG, QStringLiteral("新建"), XBS, RCP_OFFSET(m_created), none, noRecord, 0, 1, 0,
                            QStringLiteral("新建该项目的用户和日期"));
        heads.AddMemberHead(ID_REL_EDITLOG, QStringLiteral("打印"), XBS, RCP_OFFSET(m_printed), none, noRecord, 0, 1, 0,
                            QStringLiteral("最近打印该项目的用户和日期"));
        heads.AddMemberHead(ID_REL_EDITLOG, QStringLiteral("修改"), XBS, RCP_OFFSET(m_modified), none, noRecord, 0, 1,
                            0, QStringLiteral("最近修改该项目的用户和日期"));
        heads.AddMemberHead(ID_REL_EDITLOG, QStringLiteral("通知"), XBS, RCP_OFFSET(m_notified), none, noRecord, 0, 1,
                            0, QStringLiteral("最近发送微信通知的时间"));
        heads.AddValueHead({}, QStringLiteral("选中状态"), XIN, RCP_OFFSET(m_bSelected), 0);
        heads.AddValueHead({}, QStringLiteral("原选中状态"), XIN, RCP_OFFSET(m_bOrgSelected), 0);
    });
}

// ---------------------------------------------------------------------------------------
// Creation and copies

void CDBReceipt::Reset()
{
    // the package first: the receipt's own reset then clears the package figures it shows
    m_charge.Reset();
    CXItem::Reset();
    m_student.Reset();
    m_student.m_nMduID = MDU_STUDENT;
    m_student.m_strName.clear();
    m_courses.RemoveAll();
    m_alters.RemoveAll();
    m_validity = CXDateRange();
    m_rcd = CXDateRange();
    m_nChargeRead = 0;
}

CXItem* CDBReceipt::CopyTo(CXItem* target) const
{
    CXItem* copy = CXItem::CopyTo(target);
    if (auto* receipt = dynamic_cast<CDBReceipt*>(copy)) {
        m_charge.CopyTo(&receipt->m_charge);
        receipt->m_nChargeRead = m_nChargeRead;
    }
    return copy;
}

// ---------------------------------------------------------------------------------------
// Texts

QString CDBReceipt::GetAdjustNames() const
{
    QStringList lines;
    for (const XAdjust& a : kAdjusts)
        if (Member<int>(a.flag))
            lines << QString::fromUtf16(a.name);
    return lines.join(QStringLiteral("\r\n"));
}

QString CDBReceipt::GetAdjustValues() const
{
    const CHeads* heads = StaticHeads();
    QStringList lines;
    for (const XAdjust& a : kAdjusts)
        if (Member<int>(a.flag))
            lines << FormatText(heads->FindByOffset(a.value), true, true, true);
    return lines.join(QStringLiteral("\r\n"));
}

QString CDBReceipt::GetAdjustMemos() const
{
    QStringList lines;
    for (const XAdjust& a : kAdjusts)
        if (Member<int>(a.flag))
            lines << Member<QString>(a.memo);
    return lines.join(QStringLiteral("\r\n"));
}

QString CDBReceipt::GetPayUpper() const { return FormatMoneyUpper(m_fPay); }

QString CDBReceipt::FormatText(const CHead* head, bool bUnit, bool bPrefix, bool bDisplay) const
{
    if (!head || head->m_pfnGet || head->m_nOffset != RCP_OFFSET(m_nRemained))
        return CXItem::FormatText(head, bUnit, bPrefix, bDisplay);
    // total - consumed elsewhere [this selection as superscript][invalid as signed
    // subscript] = remaining after this selection
    QString suffix;
    if (m_bSelected || m_bOrgSelected)
        suffix += AsciiToSupSub(FormatString(u"-%d", m_bSelected), true);
    if (m_nLsnInvalid != 0)
        suffix += AsciiToSupSub(FormatString(u"%+1.0f", -m_nLsnInvalid - 0.1), false);
    return FormatString(u"%d-%d%s=%d", m_nLessonEnd, m_nCountIn - m_bOrgSelected, suffix,
                        m_nRemained + m_bOrgSelected - m_bSelected);
}

QString CDBReceipt::GetDeleteError(const CXItem* user) const
{
    if (m_nCountIn >= 1)
        return FormatString(u"已有关联的%s。", LoadCommandText(MDU_EDURCD));
    if (m_nSchCur > 0 && m_nNewCheckIn)
        return FormatString(u"已有关联的%s。", LoadCommandText(MDU_EDUSCH));
    return CXItem::GetDeleteError(user);
}

// ---------------------------------------------------------------------------------------
// Field rules

int CDBReceipt::GetDefault(const CHead* head) const
{
    if (head && !head->m_pfnGet && head->m_nOffset == RCP_OFFSET(m_dtAdjBgnVal))
        return WholeDay(m_dtDate);
    return CXItem::GetDefault(head);
}

int CDBReceipt::GetAccess(const CHead* head, const CXItem* user) const
{
    const int access = CXItem::GetAccess(head, user);
    const int offset = head->m_pfnGet ? -1 : head->m_nOffset;
    const bool hasCharge = m_charge.m_nID != 0;
    if (offset == RCP_OFFSET(m_dtDate) || offset == RCP_OFFSET(m_student))
        return m_nID != 0 ? std::min(access, 0) : access;
    if (offset == RCP_OFFSET(m_strPayer))
        return m_student.m_nID ? access : -1;
    if (offset == RCP_OFFSET(m_nPayNum)) {
        if (!hasCharge)
            return -1;
        return m_charge.m_nFixedDate == 1 ? std::min(access, 0) : access;
    }
    if (offset == RCP_OFFSET(m_alters))
        return m_nID != 0 ? access : -1;
    if (offset == RCP_OFFSET(m_strPayType) || offset == RCP_OFFSET(m_courses) || offset == RCP_OFFSET(m_nLesson) ||
        offset == RCP_OFFSET(m_fPay) || offset == RCP_OFFSET(m_validity))
        return hasCharge ? access : -1;
    for (const XAdjust& a : kAdjusts) {
        if (offset == a.flag) {
            if ((user && user->m_nRightRole == 0) || !hasCharge)
                return -1;
            return access;
        }
        if (offset == a.value || offset == a.memo) {
            if (!Member<int>(a.flag))
                return -1;
            if (a.flag == RCP_OFFSET(m_nAdjValid) && (!hasCharge || m_charge.m_nFixedDate))
                return -1;
            return access;
        }
    }
    return access;
}

void CDBReceipt::GetRange(const CHead* head, int& min, int& max) const
{
    CXItem::GetRange(head, min, max);
    if (head->m_pfnGet || head->m_nOffset != RCP_OFFSET(m_dtAdjBgnVal))
        return;
    // the package's course period; a bound of 0 sets no limit (a long-term package leaves
    // the adjusted start free)
    min = WholeDay(m_charge.m_dtUsefulBgn);
    max = WholeDay(m_charge.m_dtUsefulEnd);
}

CXMap CDBReceipt::GetRelateQuery(const CHead* head, const CXMap* base) const
{
    CXMap query = CXItem::GetRelateQuery(head, base);
    if (!head || head->m_pfnGet || head->m_nOffset != RCP_OFFSET(m_charge))
        return query;
    // packages on sale on the payment day: effective by then, closing the day after or later
    query.SetDate(1048, XDateTime(static_cast<double>(WholeDay(m_dtDate))));
    query.SetDate(1126, XDateTime(static_cast<double>(WholeDay(m_dtDate) + 1)));
    // lessons already consumed or scheduled bind the receipt to its courses
    if (m_nCountIn > 0 || m_nSchCur > 0) {
        QStringList ids;
        for (const CXItem* line : m_courses)
            ids << QString::number(line->m_nID);
        query.SetText(MDU_COURSE, ids.join(u','));
    }
    return query;
}

// ---------------------------------------------------------------------------------------
// Validation

void CDBReceipt::ReadPackage()
{
    if (!m_charge.m_nID)
        return;
    if (m_nID != 0 && (m_nChargeRead == 0 || m_nChargeRead == m_charge.m_nID)) {
        // a saved receipt's figures are those of the package it was read with
        m_nChargeRead = m_charge.m_nID;
        return;
    }
    CModule* module = FindModule(MDU_CHARGE);
    if (!module)
        return;
    CXArray found(nullptr, true);
    CXMap query;
    query.SetText(QKEY_IDS, QString::number(m_charge.m_nID));
    // with the link titles: the course lines show by name
    if (!module->QueryItems(found, query, false, true) || found.GetSize() != 1)
        return;
    const auto* package = static_cast<const CDBCharge*>(found.GetAt(0));
    package->CopyTo(&m_charge);
    m_nChargeRead = m_charge.m_nID;
    m_courses.RemoveAll();
    for (const CXItem* line : package->m_courses) {
        auto* course = static_cast<CDBReceiptCourse*>(m_courses.CreateItem());
        course->m_nID = line->m_nID;
        course->m_strName = line->m_strName;
        course->m_nParentID = m_nID;
        m_courses.Add(course);
    }
    m_charge.m_courses.RemoveAll();
}

void CDBReceipt::Calculate()
{
    if (m_charge.m_nFixedDate) {
        // a short-term course runs its fixed period: one period, no validity adjustment
        m_nAdjValid = 0;
        m_nAdjValidVal = 0;
        m_nPayNum = 1;
        m_validity.m_begin = m_dtAdjBgnVal.Day() != 0 ? m_dtAdjBgnVal : m_charge.m_dtUsefulBgn;
        m_validity.m_end = m_charge.m_dtUsefulEnd;
    } else {
        m_validity.m_begin = m_dtAdjBgnVal.Day() != 0 ? m_dtAdjBgnVal : m_dtDate;
        m_validity.m_end = XDateTime(m_validity.m_begin.Day() + m_charge.m_nValidDays * m_nPayNum + m_nAdjValidVal);
    }
    m_nLesson = m_nPayNum * m_charge.m_nLessonNum + m_nAdjLsnVal;
    // the view's order of operations, in reals: both must give the same amount
    m_fPay = m_nPayNum * m_charge.m_nLessonNum * m_charge.m_fUnitPrice * m_nAdjDcntVal / 100.0 + m_fAdjPriceVal;
    m_fAltPrice = 0;
    m_nAltLesson = 0;
    m_nAltValid = 0;
    m_dtAltRtr = XDateTime(0.0);
    for (const CXItem* item : m_alters) {
        const auto* alter = static_cast<const CDBReceiptAlter*>(item);
        m_fAltPrice += alter->m_fAlterPrice;
        m_nAltLesson += alter->m_nAlterLesson;
        m_nAltValid += alter->m_nAlterValid;
        if (alter->m_nAlterType != 0 && alter->m_dtDate.Day() > m_dtAltRtr.Day())
            m_dtAltRtr = alter->m_dtDate;
    }
    m_nLessonEnd = m_nLesson + m_nAltLesson;
    m_fPayEnd = m_fPay + m_fAltPrice;
    const double validEnd = m_validity.m_end.Day() + m_nAltValid;
    const double refund = m_dtAltRtr.Day();
    m_dtValidEnd = XDateTime(refund == 0 || refund > validEnd ? validEnd : refund);
    const double today = XDateTime::Today().Day();
    m_nZeroLesson =
        (refund != 0 || ((m_charge.m_nClassType != 0 || m_charge.m_nFixedDate != 0) && m_dtValidEnd.Day() < today)) ? 1
                                                                                                                    : 0;
    m_nRemained = m_nZeroLesson ? 0 : m_nLessonEnd - m_nCountIn;
    m_nLsnInvalid = m_nZeroLesson ? m_nLessonEnd - m_nCountIn : 0;
    if (refund != 0)
        m_nItemStatus = RECEIPT_REFUNDED;
    else if (m_nRemained == 0)
        m_nItemStatus = RECEIPT_FINISHED;
    else if (m_nRemained < 0)
        m_nItemStatus = RECEIPT_OVERDRAWN;
    else if (m_nSchCur > 0)
        m_nItemStatus = RECEIPT_ATTENDING;
    else if (m_dtValidEnd.Day() < today)
        m_nItemStatus = RECEIPT_EXPIRED;
    else
        m_nItemStatus = RECEIPT_PAUSED;
}

int CDBReceipt::Validate(const CXItem* user, bool bCheckDuplicates)
{
    m_status.clear();
    ReadPackage();
    // an adjustment that is not set has no value; its note stays
    if (!m_nAdjDcnt)
        m_nAdjDcntVal = 100;
    if (!m_nAdjPrice)
        m_fAdjPriceVal = 0;
    if (!m_nAdjLsn)
        m_nAdjLsnVal = 0;
    if (!m_nAdjGift)
        m_fAdjGiftVal = 0;
    if (!m_nAdjBgn)
        m_dtAdjBgnVal = XDateTime(0.0);
    if (!m_nAdjValid)
        m_nAdjValidVal = 0;
    if (!m_strPayer.isEmpty() && m_strPayer == m_student.m_strName)
        m_strPayer.clear();
    if (m_charge.m_nID)
        Calculate();

    if (!m_student.m_nID)
        AddStatus(ST_STOP, &m_student, "未选择一%s！", LoadCommandText(MDU_STUDENT));
    if (!m_charge.m_nID)
        AddStatus(ST_STOP, &m_charge, "未选择一%s！", LoadCommandText(MDU_CHARGE));
    if (m_strPayType.isEmpty())
        AddStatus(ST_STOP, &m_strPayType, "请输入支付方式！");
    switch (m_nItemStatus) {
    case RECEIPT_PAUSED:
        AddStatus(ST_WARN, nullptr, "停课中！");
        break;
    case RECEIPT_EXPIRED:
        AddStatus(ST_WARN, nullptr, "课时余 %d 次，超有效期 %d 天", m_nRemained,
                  WholeDay(XDateTime::Today()) - WholeDay(m_dtValidEnd));
        break;
    case RECEIPT_OVERDRAWN:
        AddStatus(ST_STOP, nullptr, "课时超 %d 次", -m_nRemained);
        break;
    case RECEIPT_FINISHED:
        AddStatus(ST_GRAY, nullptr, "%s结课", DateText(m_rcd.m_end));
        break;
    case RECEIPT_REFUNDED:
        AddStatus(ST_GRAY, nullptr, "%s退费！", DateText(m_dtAltRtr));
        break;
    default:
        break;
    }
    return CXItem::Validate(user, bCheckDuplicates);
}

// ---------------------------------------------------------------------------------------
// Printing

void CDBReceipt::MakeDemo(const CXItem* user)
{
    Reset();
    const XDateTime today = XDateTime::Today().DateOnly();
    m_nID = 1;
    m_strName = QStringLiteral("示例");
    m_dtDate = today;
    m_student.m_nID = 1;
    m_student.m_strName = QStringLiteral("王小明");
    m_strPayer = QStringLiteral("妈妈");
    m_strPayType = QStringLiteral("支付宝");
    m_strMemo = QStringLiteral("演示收据");
    if (user)
        m_created.CopyBase(*user);
    m_charge.m_nID = 1;
    m_charge.m_strName = QStringLiteral("2020 年乐器精品一对一");
    m_charge.m_nLessonNum = 15;
    m_charge.m_nClassType = 0;
    m_charge.m_nFixedDate = 0;
    m_charge.m_fUnitPrice = 100.0;
    m_charge.m_fChgPrice = 1500.0;
    m_charge.m_nValidDays = 183;
    m_nChargeRead = 1; // the sample package is not read from the database
    m_nPayNum = 2;
    m_nAdjDcnt = 1;
    m_nAdjDcntVal = 95;
    m_strAdjDcntMemo = QStringLiteral("提前报名九五折。");
    m_nAdjPrice = 1;
    m_fAdjPriceVal = -100.0;
    m_strAdjPriceMemo = QStringLiteral("代金卷抵 100 元");
    m_nAdjLsn = 1;
    m_nAdjLsnVal = 2;
    m_strAdjLsnMemo = QStringLiteral("首次报名赠送课时。");
    m_nAdjGift = 1;
    m_fAdjGiftVal = 100.0;
    m_strAdjGiftMemo = QStringLiteral("初学送教材。");
    m_nAdjBgn = 1;
    m_dtAdjBgnVal = today.AddDays(30);
    m_strAdjBgnMemo = QStringLiteral("提前报名推迟上课。");
    m_nAdjValid = 1;
    m_nAdjValidVal = 60;
    m_strAdjValidMemo = QStringLiteral("暑假期间停课。");
    auto* course = static_cast<CDBReceiptCourse*>(m_courses.CreateItem());
    course->m_nID = 1;
    course->m_strName = QStringLiteral("钢琴");
    course->m_nParentID = m_nID;
    m_courses.Add(course);
    Validate(user, false);
}

void CDBReceipt::FillPrintKeywords(XPrintKeywords& keywords, int kind, const CXItem* user) const
{
    if (kind == 1) {
        CDBReceipt demo;
        demo.MakeDemo(user);
        demo.CXItem::FillPrintKeywords(keywords, kind, user);
        demo.AddRowCountKeyword(keywords);
        return;
    }
    CXItem::FillPrintKeywords(keywords, kind, user);
    AddRowCountKeyword(keywords);
}

void CDBReceipt::AddRowCountKeyword(XPrintKeywords& keywords) const
{
    // the renderer repeats the table row holding "[ID]" as many times as this entry says
    if (keywords.value(QStringLiteral("[ID]")).isEmpty())
        keywords.insert(QStringLiteral("[ID]"), QString::number(GetPrintRowCount()));
}
