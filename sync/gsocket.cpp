#include "sync/gsocket.h"

#include "sio/client.h"
#include "sync/messageconversion.h"
#include "sync/replydecoder.h"
#include "sync/synclist.h"

#include <QDebug>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMetaObject>

#ifndef TAVORLIN_CA_FILE
#define TAVORLIN_CA_FILE ""
#endif

namespace UGENERAL {

GSocket::GSocket(QObject *parent) : QObject(parent), m_client(std::make_unique<sio::client>())
{
    const std::shared_ptr<sio::socket> socket = m_client->socket("");

    m_client->set_log_listener([](const std::string &line) { qDebug().noquote() << QString::fromStdString(line); });
    m_client->set_close_listener([this] {
        qDebug() << "CLOSSSSSSSSSSSSSSSSSSSE!!";
        deliver([this] { Q_EMIT status(Closed); });
    });
    m_client->set_fail_listener([this] { deliver([this] { Q_EMIT status(Failed); }); });
    m_client->set_open_listener([this] { deliver([this] { Q_EMIT status(Open); }); });
    m_client->set_reconnecting_listener([this] { deliver([this] { Q_EMIT status(Reconnecting); }); });
    m_client->set_reconnect_listener([this](unsigned, unsigned) { deliver([this] { Q_EMIT status(Reconnect); }); });
    m_client->set_socket_close_listener([this](const std::string &) { deliver([this] { Q_EMIT status(SocketClosed); }); });

    for (const QString &name : eventNames())
        socket->on(name.toStdString(), [this](sio::event &ev) { onEvent(ev); });
}

GSocket::~GSocket()
{
    // Nothing may reach this half-destroyed object from the network thread.
    m_client->clear_listeners();
    m_client->socket("")->off_all();
    m_client->close();
}

void GSocket::setProtocol(const QString &protocol)
{
    if (protocol == m_protocol)
        return;
    m_protocol = protocol;
    Q_EMIT protocolChanged();
}

void GSocket::setIp(const QString &ip)
{
    if (ip == m_ip)
        return;
    m_ip = ip;
    Q_EMIT ipChanged();
}

void GSocket::setPort(int port)
{
    if (port == m_port)
        return;
    m_port = port;
    Q_EMIT portChanged();
}

QString GSocket::extraCaFile()
{
    const QString fromEnv = qEnvironmentVariable("TAVORLIN_CA_FILE");
    return fromEnv.isEmpty() ? QStringLiteral(TAVORLIN_CA_FILE) : fromEnv;
}

void GSocket::connection()
{
    const QString address = m_protocol + QStringLiteral("://") + m_ip + QLatin1Char(':') + QString::number(m_port);
    m_client->set_ca_file(extraCaFile().toStdString());
    m_client->connect(address.toStdString());
}

void GSocket::disconnect()
{
    m_client->force_ping_timeout();
}

void GSocket::emit(QString name, QString data)
{
    m_client->socket("")->emit(name.toStdString(), parseEmitPayload(data));
}

bool GSocket::isPageReply(const QString &name)
{
    static const QStringList pages = {
        "initial_agent_result", "initial_customer_result", "initial_district_result", "initial_hashtag_result",
        "initial_note_result", "initial_activity_result", "initial_tavorlin_result", "initial_shelf_result",
        "initial_property_result", "initial_seen_result",
    };
    return pages.contains(name);
}

bool GSocket::deliverPage(const QString &name, const std::string &packed)
{
    QByteArray json;
    if (!decodeReplyBytes(packed, json))
        return false;
    QJsonParseError parsed;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parsed);
    // Anything but an object (or bytes that are not UTF-8) goes the way of every other reply,
    // whose handler reports it.
    if (parsed.error != QJsonParseError::NoError || !document.isObject())
        return false;
    QJsonObject reply = document.object();
    QVariant list;
    const QJsonValue content = reply.value(QStringLiteral("content"));
    if (content.isObject() && content.toObject().value(QStringLiteral("list")).isArray()) {
        QJsonObject rest = content.toObject();
        list = QVariant::fromValue(SyncList(rest.take(QStringLiteral("list")).toArray()));
        reply.insert(QStringLiteral("content"), rest);
    }
    deliver([this, name, reply = std::move(reply), list = std::move(list), size = json.size()] {
        Q_EMIT recievePage(name, reply, list, size);
    });
    return true;
}

void GSocket::onEvent(sio::event &ev)
{
    try {
        QString name = QString::fromStdString(ev.get_name());
        const sio::message::ptr arg = ev.get_message();
        static const std::string none;
        const std::string &packed = arg && arg->is(sio::message::flag::string) ? arg->get_string() : none;
        if (isPageReply(name) && deliverPage(name, packed))
            return;
        QString text;
        QString error;
        if (!decodeReply(packed, text, &error))
            qWarning().noquote() << "Reply" << name << "could not be decoded:" << error;
        deliver([this, name = std::move(name), text = std::move(text)] { Q_EMIT recieve(name, text); });
    } catch (const std::exception &) {
        // The event is lost; the client goes on with the next one.
    }
}

void GSocket::deliver(std::function<void()> signal)
{
    QMetaObject::invokeMethod(this, std::move(signal), Qt::QueuedConnection);
}

const QStringList &GSocket::eventNames()
{
    static const QStringList names = {
        "mobile_check_result", "email_check_result", "code_resend_result", "verify_check_result",
        "validity_token_result", "province_list_result", "initial_count_result", "initial_agent_result",
        "initial_customer_result", "initial_district_result", "initial_hashtag_result", "initial_note_result",
        "initial_activity_result", "initial_tavorlin_result", "initial_shelf_result", "initial_property_result",
        "initial_upgrade_result", "initial_seen_result", "account_find_result", "account_select_result",
        "account_edit_result", "account_login_result", "account_device_result", "account_device_remove_result",
        "account_setting_result", "account_mine_result", "account_agent_create_result", "account_agent_edit_result",
        "account_agent_remove_result", "account_agent_replace_result", "account_agent_list_result",
        "account_agent_status_result", "shelf_create_result", "shelf_edit_result", "shelf_list_result",
        "shelf_tavorlin_result", "shelf_tavorlin_remove_result", "shelf_remove_result", "shelf_tavorlin_all_result",
        "shelf_agent_access_result", "shelf_access_result", "tavorlin_list_result", "tavorlin_create_result",
        "tavorlin_edit_result", "tavorlin_remove_result", "tavorlin_agent_access_result", "tavorlin_access_result",
        "property_action_result", "property_copy_result", "property_create_result", "property_edit_result",
        "property_change_result", "property_list_result", "property_hashtag_result", "property_send_result",
        "property_unseen_result", "property_seen_result", "property_colleague_result", "property_tag_result",
        "property_clean_result", "property_share_result", "file_note_create_result", "file_note_remove_result",
        "file_note_edit_result", "file_note_list_result", "hashtag_create_result", "hashtag_edit_result",
        "hashtag_remove_result", "district_create_result", "district_edit_result", "district_remove_result",
        "colleague_list_result", "conversation_list_result", "conversation_message_list_2_result",
        "note_create_result", "note_edit_result", "note_remove_result", "note_list_result", "task_create_result",
        "task_edit_result", "task_remove_result", "task_list_result", "task_done_result", "contact_create_result",
        "contact_edit_result", "contact_remove_result", "friend_list_result", "friend_create_result",
        "friend_remove_result", "media_link_remove_result", "log_list_result", "count_result", "aws_target_result",
        "version_check_result", "account_device_update_result",
        "account_notify", "shelf_notify", "tavorlin_notify", "property_notify", "hashtag_notify", "district_notify",
        "contact_notify", "activity_notify", "upload_notify", "media_link_notify", "note_notify",
    };
    return names;
}

} // namespace UGENERAL
