#pragma once

#include "XEditServices.h"

// The print half of the edit frame's services: the template chooser and print jobs with
// the printer chooser, warning questions and the preview window. The WeChat half stays the
// built-in answer until the web part installs its own (derived from this one).
class XPrintEditServices : public XEditServices
{
public:
    int ChooseTemplate(QWidget* parent, const CXArray& templs, CXItem*& chosen) override;
    bool StartPrint(QWidget* parent, CXItem* templ, CXItem* item, const CXItem* user, bool preview) override;
};

class CDBTempl;

// Previews a template on a sample record of its module (a demonstration record the module
// makes up); the template is copied, nothing is saved and nothing is logged.
bool PreviewTemplate(QWidget* parent, const CDBTempl& templ, const CXItem* user);

// The program's instance.
XEditServices& ProgramEditServices();
