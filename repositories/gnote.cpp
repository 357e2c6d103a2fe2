#include "repositories/gnote.h"

namespace UGENERAL {

GNote::~GNote() = default;

bool GNote::saveNote(QJsonObject note, bool edit)
{
    // Not built yet.
    return false;
}

void GNote::saveNotes(QJsonArray notes, qlonglong date)
{
    // Not built yet.
}

bool GNote::remove(QString serverId, qlonglong date)
{
    // Not built yet.
    return false;
}

QJsonArray GNote::getNotes()
{
    // Not built yet.
    return QJsonArray();
}

int GNote::todayNoteCount(qlonglong startDate, qlonglong endDate)
{
    // Not built yet.
    return 0;
}

} // namespace UGENERAL
