#pragma once

#include <QtCore/QString>

class CLorvanView;
class CModule;

// A module window's document: it holds no data (the view holds the records) and keeps the
// detail pane's width and visibility for the user when the window closes.
class CLorvanDoc
{
public:
    explicit CLorvanDoc(CModule& module) : m_module(module) {}

    CModule& GetModule() const { return m_module; }
    // Writes "Module.<id>.Propbar.Visible" and, while the pane shows and the DPI is the one
    // the run started with, its width under the DPI.
    void OnCloseDocument(const CLorvanView& view);

    static QString PropBarWidthKey(int mduId, int dpi);
    static QString PropBarVisibleKey(int mduId);

private:
    CModule& m_module;
};
