#pragma once
// The properties of one conversion, as the conversion control holds them and as its worker
// (quorvane-office) receives them: one request line of JSON, written and read here only.
#include <QJsonObject>
#include <QString>

// Equal requests are the same conversion: a look-ahead result is matched to convert() by this.
struct ConversionRequest
{
    int fromSlide = 0; // 0 and 0: all slides
    int toSlide = 0;
    bool createFileForEachSlide = false;
    QString originalFile;
    QString targetFile;
    int targetFileType = 0;
    bool includeNotesPage = false;
    bool includeNotesOnly = false;
    bool showSlideAndShape = false;

    // The worker's request line; deferCommit asks it to leave the outputs under their staged
    // names and answer with their plan (a conversion made ahead of its turn).
    QJsonObject toJson(bool deferCommit = false) const;
    // Reads a request line of toJson(); *deferCommit gets its flag.
    static ConversionRequest fromJson(const QJsonObject &o, bool *deferCommit = nullptr);
    bool operator==(const ConversionRequest &o) const = default;
};
