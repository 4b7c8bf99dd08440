#include "clsMRU.h"

#include "platform/ProfileIni.h"

namespace {
const QString kDone = QStringLiteral("MRU_DONE");
const QString kMissing = QStringLiteral("+-!#");
constexpr int kMaxStoredKeys = 1000;
} // namespace

bool clsMRU::bCanStore(const QString &value)
{
    if (value.isEmpty() || value.contains(u'\r') || value.contains(u'\n'))
        return false;
    // The settings file trims values, so these would come back as the end of the list.
    const QString t = value.trimmed();
    return t != kDone && t != kMissing;
}

void clsMRU::setClnMRU(const QStringList &items)
{
    ClearAllItemsInList();
    for (const QString &item : items)
        AddUniqueItemToCollection(item);
}

void clsMRU::Setup(int lMaxItems, const QString &sSaveToFile,
                   const QString &sDescriptionOfCollection, const QString &sDefaultArray)
{
    m_maxItems = lMaxItems;
    m_iniFile = sSaveToFile;
    m_section = sDescriptionOfCollection;
    m_items.clear();
    ReadIniFileIntoCollection();
    if (sDefaultArray != QStringLiteral("-1") && m_items.isEmpty()) {
        for (const QString &part : sDefaultArray.split(u','))
            AddUniqueItemToCollection(part);
    }
    m_changed = false;
}

void clsMRU::ShutDown()
{
    WriteCollectionToIniFile();
    m_items.clear();
}

bool clsMRU::bItemExistsInMRU(const QString &sValue, bool bCaseSensitive) const
{
    return m_items.contains(sValue, bCaseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive);
}

void clsMRU::AddUniqueItemToCollection(const QString &vNewValue)
{
    if (!bCanStore(vNewValue))
        return;
    m_changed = true;
    m_items.removeIf([&](const QString &s) {
        return s.compare(vNewValue, Qt::CaseInsensitive) == 0;
    });
    while (!m_items.isEmpty() && m_items.size() >= qMax(1, m_maxItems))
        m_items.removeFirst();
    m_items.append(vNewValue);
}

void clsMRU::WriteCollectionToIniFile()
{
    if (!m_changed)
        return;
    // One rewrite of the settings file for the whole list.
    ProfileIni::KeyValues entries;
    for (int i = 0; i < m_items.size(); ++i)
        entries.append({m_section + QString::number(i + 1), m_items.at(i)});
    entries.append({m_section + QString::number(m_items.size() + 1), kDone});
    if (ProfileIni::writeStrings(m_iniFile, m_section, entries))
        m_changed = false;
}

void clsMRU::ReadIniFileIntoCollection()
{
    ClearAllItemsInList();
    // Read to the end marker even past the maximum (a list stored while the maximum was
    // larger): adding the entries oldest first then keeps the newest ones.
    QStringList stored;
    for (int i = 1; i <= kMaxStoredKeys; ++i) {
        const QString v =
            ProfileIni::readString(m_iniFile, m_section, m_section + QString::number(i), kMissing);
        if (v == kDone || v == kMissing)
            break;
        stored << v;
    }
    for (const QString &v : stored)
        AddUniqueItemToCollection(v);
}

void clsMRU::ClearAllItemsInList()
{
    m_changed = true;
    m_items.clear();
}

QString clsMRU::Newest(int i) const
{
    if (i < 1 || i > m_items.size())
        return QString();
    return m_items.at(m_items.size() - i);
}
