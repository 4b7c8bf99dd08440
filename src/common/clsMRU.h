#pragma once
// A most-recently-used list (opened job files, paths, search texts, ...), bounded in length and
// stored as one section of the settings file: keys <section>1..<section>n hold the entries,
// oldest first, and key <section>(n+1) holds the end marker "MRU_DONE".
#include <QString>
#include <QStringList>

class clsMRU
{
public:
    // The entries, oldest first, newest last. No two differ only in letter case.
    QStringList clnMRU() const { return m_items; }
    // Replaces the entries; they are added one by one, so duplicates collapse and the maximum
    // holds.
    void setClnMRU(const QStringList &items);

    // Maximum number of entries, settings file, section name (also the key prefix), and the
    // default entries as a comma-separated list ("-1" = none) used when the stored list is
    // empty. Reading and defaults alone never cause a write.
    void Setup(int lMaxItems, const QString &sSaveToFile, const QString &sDescriptionOfCollection,
               const QString &sDefaultArray);
    // Writes the list (when changed) and empties it.
    void ShutDown();
    bool bItemExistsInMRU(const QString &sValue, bool bCaseSensitive) const;
    // Appends the value as the newest entry, removing an entry equal to it in any letter case
    // and, when the list is full, the oldest one. Ignored: an empty value, the two texts that
    // end a stored list ("MRU_DONE", "+-!#") and values holding a line break, none of which
    // the settings file could give back.
    void AddUniqueItemToCollection(const QString &vNewValue);
    // Writes the entries and the end marker, only when the list changed; keys beyond the
    // marker are left as they are.
    void WriteCollectionToIniFile();
    // Replaces the entries by the stored ones; a stored list longer than the maximum keeps its
    // newest entries.
    void ReadIniFileIntoCollection();
    void ClearAllItemsInList();
    int Count() const { return static_cast<int>(m_items.size()); }

    // The i-th newest entry (1 = newest); "" when out of range.
    QString Newest(int i) const;
    bool isChanged() const { return m_changed; }
    QString section() const { return m_section; }

    static bool bCanStore(const QString &value);

private:
    QStringList m_items;
    int m_maxItems = 0;
    QString m_iniFile;
    QString m_section;
    bool m_changed = false;
};
