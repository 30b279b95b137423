#pragma once

#include "CHead.h"
#include "CXItem.h"

#include <QtCore/QByteArray>

// A print template: an RTF document with keywords plus the paper, margins and printer it
// is printed with, for the records of one module. The title is its name.
class CDBTempl : public CXItemT<MDU_TEMPL>
{
public:
    CDBTempl() { CDBTempl::Reset(); }

    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CDBTempl; }
    void Reset() override;
    int GetDefault(const CHead* head) const override;
    int GetAccess(const CHead* head, const CXItem* user) const override;
    void GetOptions(const CHead* head, QStringList& texts, QList<int>& values) const override;
    void GetRange(const CHead* head, int& min, int& max) const override;
    QString GetDeleteWarning() const override;
    // Checks the template against its printer and adjusts it as it goes: clamps the paper
    // to the printer's largest size, switches off colour and duplex the printer lacks.
    int Validate(const CXItem* user, bool bCheckDuplicates) override;

    QString GetPageSizeText() const; // 页面尺寸 "210.0×297.0 mm²"
    QString GetMarginsText() const;  // 页边距 "10×10×10×10 mm⁴"
    // The page as printed: the paper turned for landscape, in mm.
    double GetPageWidth() const { return m_nOrientation ? m_fPaperLength : m_fPaperWidth; }
    double GetPageHeight() const { return m_nOrientation ? m_fPaperWidth : m_fPaperLength; }

    // The first module that is shown and prints; 0 when none does.
    static int FirstPrintingModule();

    int m_nTemplMduID = 0; // the module whose records the template prints
    QByteArray m_templ;    // the RTF document
    int m_nPrintReplace = 0;
    int m_nPagingIndex = 18;
    QString m_strPrinter;
    int m_nPaperID = 0;
    double m_fPaperWidth = 210.0;
    double m_fPaperLength = 297.0;
    int m_nOrientation = 0;
    int m_nMarginLeft = 10;
    int m_nMarginTop = 10;
    int m_nMarginRight = 10;
    int m_nMarginBottom = 10;
    int m_nPrintCopies = 1;
    int m_nPrintDuplex = 0;
    int m_nPrintColor = 0;
    // the printer's, set by Validate
    int m_bSupportColor = 1;
    int m_bSupportDuplex = 1;
    int m_nMaxWidth = 65534; // tenths of a millimetre
    int m_nMaxLength = 65534;
};

// The A4 paper code: length 2970 << 16 | width 2100 (tenths of a millimetre).
inline constexpr int kPaperA4 = (2970 << 16) | 2100;
