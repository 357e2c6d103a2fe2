#pragma once

#include "repositories/grepository.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QString>

namespace UGENERAL {

// User repository: the manager's and the agents' account rows, the current account and the
// update-date stamp. Local ids of -1 (or below 1) stand for the owner copy's id.
class GUser : public GRepository
{
public:
    using GRepository::GRepository;
    ~GUser() override;

    QJsonObject getUserAsJson(const User &record, bool full);
    qint64 saveUser(QJsonObject user, bool login);
    bool saveUsers(QJsonArray users, qlonglong date = -1);
    QJsonObject currentUser();
    bool changeCurrentUser(qint64 userId);
    QJsonArray getLoggedInUsers();
    bool logIn(qint64 userId);
    bool logOut(qint64 userId);
    QJsonObject getUserById(QString serverId);
    QJsonObject saveUserImage(QString image, qint64 userId);
    void deleteUserImage(qint64 userId);
    bool updateDate(qlonglong date, qint64 userId = -1);
    QString getUpdateDate(qint64 userId);

    // Agents of the owner.
    QJsonArray getAgentList(qint64 userId);
    int getAgentsCount(qint64 userId);
    bool updateAgent(QString serverId, int access, int type, qlonglong date);
    qint64 updateAgentNameFamily(qint64 userId, QString nameFamily, QString mobile_1, QString mobile_2,
                                 QString phone_1, QString phone_2, QString cityId, QString email, qlonglong date);
    void deleteAgent(QString userId, QString agentId, qlonglong date);
    void editAgentNumber(QString userId, QString agentId, QString receivedId, qlonglong date);
};

} // namespace UGENERAL
