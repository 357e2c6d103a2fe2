#pragma once

#include "repositories/grepository.h"

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

    bool saveNote(QJsonObject note, bool edit);
    void saveNotes(QJsonArray notes, qlonglong date = -1);
    bool remove(QString serverId, qlonglong date = -1);
    QJsonArray getNotes();
    int todayNoteCount(qlonglong startDate, qlonglong endDate);
};

} // namespace UGENERAL
