#pragma once

#include <QtCore/QString>

class CXArray;
class CXItem;
class QWidget;

// What the record edit frame asks of printing and of WeChat notices. Those services belong
// to the printing and web parts of the program, which install their own implementation;
// until they do, the built-in one answers honestly that they are not available: templates
// are read where the template module exists, but no chooser, print job or notice runs.
class XEditServices
{
public:
    virtual ~XEditServices() = default;
    // Appends the module's enabled print templates (owned by the array).
    virtual void LoadTemplates(int mduId, CXArray& templs);
    // Runs the template chooser over the templates; IDOK with the chosen one, IDCANCEL.
    virtual int ChooseTemplate(QWidget* parent, const CXArray& templs, CXItem*& chosen);
    // Starts a print or preview job; true when the job's window exists afterwards.
    virtual bool StartPrint(QWidget* parent, CXItem* templ, CXItem* item, const CXItem* user, bool preview);
    // The current WeChat access token; empty when notices cannot be sent.
    virtual QString GetWxAccessToken();
    // Runs the WeChat notice dialog for the record.
    virtual void SendWxMsg(QWidget* parent, CXItem* item);
    // Whether this implementation can really print and send (false for the built-in one).
    virtual bool IsAvailable() const { return false; }
};

XEditServices& EditServices();
// Installs the services (not owned; null for the built-in ones) and returns the previous.
XEditServices* SetEditServices(XEditServices* services);
