#pragma once

#include "XDateTime.h"

#include <QtCore/QString>

#include <map>

class CXArray;

// Small integer ids (fields, query options, controls, modules) to texts: query maps, scheme
// setup data, rights data, request parameters. Kept in key order, so that two maps with the
// same pairs write the same XML text.
class CXMap
{
public:
    CXMap() = default;
    CXMap(const CXMap&) = default;
    CXMap& operator=(const CXMap&) = default;
    // Read from the XML text form "<r><x id="k">v</x>...</r>": every child of the top
    // element, whatever its name, with an id of 1 or more; a text that does not parse gives
    // an empty map.
    explicit CXMap(const QString& xml);
    explicit CXMap(const QByteArray& utf8Xml);

    // The XML text form without line breaks (also none inside values); empty for an empty
    // map. Keys are written in order, so equal maps write equal texts.
    QString ToXml() const;

    bool IsEqual(const CXMap& other) const { return m_map == other.m_map; }
    bool IsEmpty() const { return m_map.empty(); }
    int GetCount() const { return static_cast<int>(m_map.size()); }
    bool Has(int key) const { return m_map.count(key) != 0; }
    void RemoveAll() { m_map.clear(); }
    auto begin() const { return m_map.begin(); }
    auto end() const { return m_map.end(); }

    // Stores the text with its quoted SQL symbols replaced by their numbers; an empty text
    // is stored too (the key exists afterwards).
    void SetText(int key, const QString& text);
    // Stores the text as it is: what a user typed or picked (find text, record titles) must
    // reach the query unchanged, symbols in quotes included.
    void SetPlainText(int key, const QString& text) { m_map[key] = text; }
    // "%Y-%m-%d" when the day number is above 0; otherwise the map is not changed.
    void SetDate(int key, const XDateTime& date);
    QString GetText(int key) const;
    // The value's leading decimal integer; 0 when missing or unreadable.
    int GetInt(int key) const;
    // The value read as a date text, else its leading integer as a day number.
    XDateTime GetDate(int key) const;
    // Whether the value's int list, separated by "," or "|", holds the value.
    bool ListHas(int key, int value) const;
    // The record IDs of the item links in the value ("5,9"), or the value itself when it
    // holds no item link (an ID list passes through).
    QString GetIdList(int key) const;
    // The records the value names: its item links, or else its comma-separated IDs (as
    // references of the key's module titled "..."), appended to the array as new records.
    // Returns how many there are; with a null array only counts.
    int GetItems(int key, CXArray* array) const;

private:
    std::map<int, QString> m_map;
};
