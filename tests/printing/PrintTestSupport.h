#pragma once

#include "CModuleTempl.h"
#include "FixtureSchool.h"
#include "Resources.h"

#include <QtCore/QProcess>
#include <QtCore/QStandardPaths>

// The fixture school with the template module registered and the built-in templates saved
// for the receipt modules.
class PrintSchoolTest : public SchoolTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    // A built-in template as a template record for the module (not saved).
    static std::unique_ptr<CDBTempl> BuiltIn(int resourceId, int mduId);

    std::unique_ptr<CModuleTempl> m_templModule;
};

// The text of a PDF file as pdftotext gives it; empty when the tool is missing.
QString PdfText(const QString& path);
// The text with the CJK radicals a PDF's text may give for shared glyphs read back as the
// ideographs they are drawn for.
QString FoldRadicals(const QString& text);
