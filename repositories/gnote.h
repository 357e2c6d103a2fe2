#pragma once

#include "repositories/grepository.h"
#include "store/note.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>

namespace UGENERAL {

// Note repository: notes and reminders of the person working.
class GNote : public GRepository
{
public:
    using GRepository::GRepository;
    ~GNote() override;

    // Replaces the row with the item's server id, whatever `edit` says (see GDistrict).
    bool saveNote(QJsonObject note, bool edit);
    void saveNotes(QJsonArray notes, qlonglong date = -1);
    bool remove(QString serverId, qlonglong date = -1);
    // The notes of the logged-in agent, else of the owner, latest reminder first.
    QJsonArray getNotes();
    // The same person's notes whose reminder lies in [startDate, endDate].
    int todayNoteCount(qlonglong startDate, qlonglong endDate);

    static QJsonObject toJson(const Note &note);
};

} // namespace UGENERAL
