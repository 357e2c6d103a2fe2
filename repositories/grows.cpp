#include "repositories/grows.h"

#include "repositories/gjson.h"
#include "repositories/guser.h"

namespace UGENERAL {

bool GRows::dies(const QJsonObject &item)
{
    return GJson::flag(item, QStringLiteral("die"));
}

void GRows::stamp(const SharedSnapshot &snapshot, qlonglong date)
{
    if (date > 0)
        GUser(snapshot).updateDate(date, -1);
}

} // namespace UGENERAL
