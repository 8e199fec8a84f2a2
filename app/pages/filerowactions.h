#pragma once
// The file behind a row of the recording and flow lists: whether a new name can be
// given to it, renaming it, removing it, and telling the user (and the log) when
// renaming, copying or removing fails. Both list pages go through here, so they
// check names and report failures alike. Each page logs its deletions in its own
// words; everything else is logged here.

#include <QCoreApplication>
#include <QString>
#include <QStringList>

class QWidget;

class FileRowActions
{
    Q_DECLARE_TR_FUNCTIONS(FileRowActions)

public:
    enum class NameCheck
    {
        Unchanged, // empty or the file's own name: nothing to do
        Invalid,   // cannot name a file in that folder
        Taken,     // a listed file or a file in the folder has it already
        Free
    };
    enum class CopyFailure
    {
        NotWritten, // the copy's file could not be written
        NotLoaded   // the copy's file was written but does not load
    };

    // The longest file name, suffix included, that common file systems accept.
    static constexpr int MaxFileNameBytes = 255;

    // What renaming the file at `path` to the base name `newName` would meet.
    // Invalid: ".", "..", a path separator, NUL, or a file name over MaxFileNameBytes.
    static NameCheck checkNewName(const QString& path, const QString& newName,
                                  const QStringList& listedPaths);
    // `path` with the base name `name`: same folder, same suffix, native separators.
    static QString withBaseName(const QString& path, const QString& name);
    static QString baseName(const QString& path);

    // Message boxes open over `page`.
    explicit FileRowActions(QWidget* page);

    // Offers the rename dialog preset with the file's base name; the name typed, or
    // empty when the dialog was cancelled.
    QString askNewName(const QString& path) const;
    // Renames the file at `path` to the base name `newName` if checkNewName allows it.
    // The new path, or empty when nothing was renamed; a refused name and a failed
    // rename have been shown to the user.
    QString rename(const QString& path, const QString& newName,
                   const QStringList& listedPaths) const;
    // Removes the file; one that is already gone counts as removed. False, after
    // telling the user, when the file is still there.
    bool remove(const QString& path) const;
    // Tells the user and the log that no copy could be made at `target`.
    void reportCopyFailure(CopyFailure failure, const QString& target) const;

private:
    void warn(const QString& title, const QString& text) const;

    QWidget* m_page;
};
