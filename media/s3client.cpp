#include "media/s3client.h"

#include "sync/gsocket.h"

#include <QCryptographicHash>
#include <QEventLoop>
#include <QMessageAuthenticationCode>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QUrl>
#include <QSslCertificate>
#include <QSslSocket>
#include <QTcpSocket>
#include <QXmlStreamReader>

#include <memory>

#include <openssl/evp.h>

#include <algorithm>

namespace UGENERAL {

namespace S3Sign {

QByteArray uriEncode(const QByteArray &bytes, bool keepSlash)
{
    static const char hex[] = "0123456789ABCDEF";
    QByteArray out;
    out.reserve(bytes.size() * 3);
    for (unsigned char c : bytes) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')
            || c == '-' || c == '_' || c == '.' || c == '~' || (keepSlash && c == '/');
        if (plain) {
            out.append(char(c));
        } else {
            out.append('%');
            out.append(hex[c >> 4]);
            out.append(hex[c & 15]);
        }
    }
    return out;
}

QByteArray sha256Hex(const QByteArray &bytes)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (EVP_Digest(bytes.constData(), size_t(bytes.size()), digest, &size, EVP_sha256(), nullptr) != 1)
        return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
    return QByteArray(reinterpret_cast<const char *>(digest), int(size)).toHex();
}

static QByteArray hmac(const QByteArray &key, const QByteArray &data)
{
    return QMessageAuthenticationCode::hash(data, key, QCryptographicHash::Sha256);
}

QByteArray authorization(const QByteArray &method, const QByteArray &canonicalUri,
                         const QByteArray &canonicalQuery,
                         QList<QPair<QByteArray, QByteArray>> headers,
                         const QByteArray &payloadHash, const QByteArray &amzDate,
                         const QByteArray &region, const QByteArray &accessKey,
                         const QByteArray &secretKey)
{
    std::sort(headers.begin(), headers.end());
    QByteArray canonicalHeaders;
    QByteArray signedHeaders;
    for (const auto &h : headers) {
        canonicalHeaders += h.first + ':' + h.second + '\n';
        if (!signedHeaders.isEmpty())
            signedHeaders += ';';
        signedHeaders += h.first;
    }
    const QByteArray canonicalRequest = method + '\n' + canonicalUri + '\n' + canonicalQuery + '\n'
        + canonicalHeaders + '\n' + signedHeaders + '\n' + payloadHash;
    const QByteArray day = amzDate.left(8);
    const QByteArray scope = day + '/' + region + "/s3/aws4_request";
    const QByteArray toSign = "AWS4-HMAC-SHA256\n" + amzDate + '\n' + scope + '\n'
        + sha256Hex(canonicalRequest);
    QByteArray key = hmac("AWS4" + secretKey, day);
    key = hmac(key, region);
    key = hmac(key, "s3");
    key = hmac(key, "aws4_request");
    const QByteArray signature = hmac(key, toSign).toHex();
    return "AWS4-HMAC-SHA256 Credential=" + accessKey + '/' + scope + ", SignedHeaders="
        + signedHeaders + ", Signature=" + signature;
}

} // namespace S3Sign

QSslConfiguration S3Client::tlsConfiguration()
{
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    const QString extra = GSocket::extraCaFile();
    if (!extra.isEmpty()) {
        QList<QSslCertificate> authorities = tls.caCertificates();
        authorities += QSslCertificate::fromPath(extra);
        tls.setCaCertificates(authorities);
    }
    return tls;
}

S3Client::S3Client(const S3Settings &settings) : settings_(settings), tls_(tlsConfiguration())
{
    QByteArray endpoint = settings.endpoint.trimmed();
    if (!endpoint.contains("://"))
        endpoint.prepend("https://");
    const QUrl url = QUrl::fromEncoded(endpoint);
    scheme_ = url.scheme().toLower().toLatin1();
    hostPort_ = url.host(QUrl::FullyEncoded).toLatin1();
    const int port = url.port();
    // The Host header leaves out the scheme's default port, as every HTTP client does.
    if (port != -1 && !((scheme_ == "https" && port == 443) || (scheme_ == "http" && port == 80)))
        hostPort_ += ':' + QByteArray::number(port);
}

S3Request S3Client::build(const QByteArray &method, const QByteArray &key, const S3Query &query,
                          const QByteArray &body, const QByteArray &contentType, bool acl,
                          const QDateTime &now) const
{
    QByteArray host = hostPort_;
    QByteArray path = "/";
    if (settings_.forcePathStyle) {
        path += S3Sign::uriEncode(settings_.bucket, false);
        if (!key.isEmpty())
            path += '/';
    } else {
        host = settings_.bucket + '.' + hostPort_;
    }
    path += S3Sign::uriEncode(key, true);

    S3Query sorted;
    for (const auto &q : query)
        sorted.append({S3Sign::uriEncode(q.first, false), S3Sign::uriEncode(q.second, false)});
    std::sort(sorted.begin(), sorted.end());
    QByteArray canonicalQuery;
    QByteArray sentQuery;
    for (const auto &q : sorted) {
        if (!canonicalQuery.isEmpty()) {
            canonicalQuery += '&';
            sentQuery += '&';
        }
        canonicalQuery += q.first + '=' + q.second;
        sentQuery += q.second.isEmpty() ? q.first : q.first + '=' + q.second;
    }

    QByteArray target = scheme_ + "://" + host + path;
    if (!sentQuery.isEmpty())
        target += '?' + sentQuery;
    const QUrl url = QUrl::fromEncoded(target, QUrl::StrictMode);
    // Signed from what goes on the wire: the encoded path as the URL will send it.
    const QByteArray canonicalUri = url.path(QUrl::FullyEncoded).toLatin1();

    const QDateTime at = (now.isValid() ? now : QDateTime::currentDateTimeUtc()).toUTC();
    const QByteArray amzDate = at.toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")).toLatin1();
    const QByteArray payloadHash = S3Sign::sha256Hex(body);

    QList<QPair<QByteArray, QByteArray>> headers{
        {"host", host}, {"x-amz-content-sha256", payloadHash}, {"x-amz-date", amzDate}};
    if (acl)
        headers.append(qMakePair(QByteArray("x-amz-acl"), QByteArray("public-read")));

    S3Request r;
    r.method = method;
    r.body = body;
    r.request.setUrl(url);
    for (const auto &h : headers)
        r.request.setRawHeader(h.first, h.second);
    r.request.setHeader(QNetworkRequest::ContentTypeHeader,
                        contentType.isEmpty() ? QByteArray("application/octet-stream") : contentType);
    r.request.setRawHeader("authorization",
                           S3Sign::authorization(method, canonicalUri, canonicalQuery, headers,
                                                 payloadHash, amzDate, settings_.region,
                                                 settings_.accessKey, settings_.secretKey));
    r.request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                           QNetworkRequest::ManualRedirectPolicy);
    if (scheme_ == "https")
        r.request.setSslConfiguration(tls_);
    return r;
}

S3Request S3Client::putObject(const QByteArray &key, const QByteArray &body,
                              const QByteArray &contentType, const QDateTime &now) const
{
    return build("PUT", key, {}, body, contentType, true, now);
}

S3Request S3Client::createMultipartUpload(const QByteArray &key, const QByteArray &contentType,
                                          const QDateTime &now) const
{
    return build("POST", key, {{"uploads", ""}}, {}, contentType, true, now);
}

S3Request S3Client::uploadPart(const QByteArray &key, const QByteArray &uploadId, int partNumber,
                               const QByteArray &body, const QDateTime &now) const
{
    return build("PUT", key, {{"partNumber", QByteArray::number(partNumber)}, {"uploadId", uploadId}},
                 body, "application/octet-stream", false, now);
}

S3Request S3Client::completeMultipartUpload(const QByteArray &key, const QByteArray &uploadId,
                                            const S3Parts &parts, const QDateTime &now) const
{
    QByteArray xml = "<CompleteMultipartUpload xmlns=\"http://s3.amazonaws.com/doc/2006-03-01/\">";
    for (const auto &p : parts) {
        QByteArray etag = p.second;
        etag.replace('&', "&amp;").replace('<', "&lt;").replace('>', "&gt;").replace('"', "&quot;");
        xml += "<Part><PartNumber>" + QByteArray::number(p.first) + "</PartNumber><ETag>" + etag
            + "</ETag></Part>";
    }
    xml += "</CompleteMultipartUpload>";
    return build("POST", key, {{"uploadId", uploadId}}, xml, "application/xml", false, now);
}

QNetworkReply *S3Client::send(QNetworkAccessManager *manager, const S3Request &request)
{
    return manager->sendCustomRequest(request.request, request.method, request.body);
}

// The text of the first element with the given name, or empty.
static QString xmlText(const QByteArray &xml, const QString &name)
{
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == name)
            return reader.readElementText();
    }
    return {};
}

S3Outcome S3Client::outcome(int status, const QByteArray &etag, const QByteArray &body,
                             const QString &networkError)
{
    S3Outcome o;
    o.status = status;
    o.body = body;
    if (status >= 200 && status < 300) {
        // A complete call may fail after its 200 with an <Error> body.
        if (body.contains("<Error>")) {
            o.message = xmlText(body, QStringLiteral("Message"));
            if (o.message.isEmpty())
                o.message = xmlText(body, QStringLiteral("Code"));
            if (o.message.isEmpty())
                o.message = QStringLiteral("HTTP %1").arg(status);
            return o;
        }
        o.ok = true;
        o.etag = etag;
        if (body.contains("<UploadId>"))
            o.uploadId = xmlText(body, QStringLiteral("UploadId")).toUtf8();
        return o;
    }
    if (status != 0) {
        o.message = xmlText(body, QStringLiteral("Message"));
        if (o.message.isEmpty())
            o.message = xmlText(body, QStringLiteral("Code"));
    }
    if (o.message.isEmpty())
        o.message = networkError;
    if (o.message.isEmpty())
        o.message = QStringLiteral("HTTP %1").arg(status);
    return o;
}

S3Outcome S3Client::outcome(QNetworkReply *reply)
{
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    return outcome(status, reply->rawHeader("ETag"), reply->readAll(),
                   reply->error() == QNetworkReply::NoError ? QString() : reply->errorString());
}

namespace {

// Reads from the socket until the buffer holds `want` bytes; false on a timeout or a close.
bool fill(QAbstractSocket &socket, QByteArray &buffer, int want, int timeoutMs)
{
    while (buffer.size() < want) {
        if (!socket.isOpen())
            return false;
        if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(timeoutMs)) {
            if (socket.isOpen())
                buffer += socket.readAll();
            return buffer.size() >= want;
        }
        buffer += socket.readAll();
    }
    return true;
}

// Reads one line ending in CRLF from the front of buffer (filling as needed).
bool takeLine(QAbstractSocket &socket, QByteArray &buffer, QByteArray *line, int timeoutMs)
{
    int end;
    while ((end = buffer.indexOf("\r\n")) < 0) {
        if (buffer.size() > 65536 || !fill(socket, buffer, buffer.size() + 1, timeoutMs))
            return false;
    }
    *line = buffer.left(end);
    buffer.remove(0, end + 2);
    return true;
}

} // namespace

S3Outcome S3Client::sendBlocking(const S3Request &r, int timeoutMs)
{
    const QUrl url = r.request.url();
    const bool tls = url.scheme() == QLatin1String("https");
    std::unique_ptr<QAbstractSocket> socket;
    if (tls) {
        auto *ssl = new QSslSocket;
        socket.reset(ssl);
        ssl->setSslConfiguration(r.request.sslConfiguration());
        ssl->connectToHostEncrypted(url.host(), quint16(url.port(443)));
        if (!ssl->waitForEncrypted(timeoutMs))
            return outcome(0, {}, {}, ssl->errorString());
    } else {
        socket.reset(new QTcpSocket);
        socket->connectToHost(url.host(), quint16(url.port(80)));
        if (!socket->waitForConnected(timeoutMs))
            return outcome(0, {}, {}, socket->errorString());
    }

    QByteArray head = r.method + ' ' + url.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority) + " HTTP/1.1\r\n";
    for (const QByteArray &name : r.request.rawHeaderList())
        head += name + ": " + r.request.rawHeader(name) + "\r\n";
    head += "content-length: " + QByteArray::number(r.body.size()) + "\r\nconnection: close\r\n\r\n";
    // The body goes out in slices, and whatever the store says meanwhile is kept: a store that
    // refuses the request answers and closes before the body is through, and its answer says
    // more than the broken write.
    QByteArray buffer;
    QString writeError;
    socket->write(head);
    const qint64 slice = 1024 * 1024;
    qint64 sent = 0;
    while (sent < r.body.size() || socket->bytesToWrite() > 0) {
        // Looked at before each slice: writing on after the store's answer and close resets the
        // connection, which drops the answer unread.
        if (socket->bytesAvailable() > 0 || socket->waitForReadyRead(0)) {
            buffer += socket->readAll();
            if (buffer.contains("\r\n\r\n"))
                break;
        }
        if (sent < r.body.size() && socket->bytesToWrite() < slice) {
            const qint64 n = std::min<qint64>(slice, r.body.size() - sent);
            socket->write(r.body.constData() + sent, n);
            sent += n;
        }
        const bool wrote = socket->waitForBytesWritten(timeoutMs);
        if (socket->isOpen() && socket->bytesAvailable() > 0) {
            buffer += socket->readAll();
            if (buffer.contains("\r\n\r\n"))
                break;
        }
        if (!wrote) {
            writeError = socket->errorString();
            break;
        }
    }

    QByteArray line;
    if (!takeLine(*socket, buffer, &line, writeError.isEmpty() ? timeoutMs : 1000))
        return outcome(0, {}, {}, writeError.isEmpty() ? socket->errorString() : writeError);
    const QList<QByteArray> statusLine = line.split(' ');
    const int status = statusLine.size() > 1 ? statusLine[1].toInt() : 0;
    QByteArray etag;
    qint64 length = -1;
    bool chunked = false;
    for (;;) {
        if (!takeLine(*socket, buffer, &line, timeoutMs))
            return outcome(0, {}, {}, QStringLiteral("the store's answer was cut short"));
        if (line.isEmpty())
            break;
        const int colon = line.indexOf(':');
        const QByteArray name = line.left(colon).trimmed().toLower();
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (name == "etag")
            etag = value;
        else if (name == "content-length")
            length = value.toLongLong();
        else if (name == "transfer-encoding")
            chunked = value.toLower().contains("chunked");
    }

    QByteArray body;
    if (chunked) {
        for (;;) {
            if (!takeLine(*socket, buffer, &line, timeoutMs))
                return outcome(0, {}, {}, QStringLiteral("the store's answer was cut short"));
            bool ok = false;
            const int size = line.split(';').first().trimmed().toInt(&ok, 16);
            if (!ok || size < 0)
                return outcome(0, {}, {}, QStringLiteral("the store's answer was malformed"));
            if (size == 0)
                break;
            if (!fill(*socket, buffer, size + 2, timeoutMs))
                return outcome(0, {}, {}, QStringLiteral("the store's answer was cut short"));
            body += buffer.left(size);
            buffer.remove(0, size + 2);
        }
    } else if (length >= 0) {
        if (!fill(*socket, buffer, int(length), timeoutMs))
            return outcome(0, {}, {}, QStringLiteral("the store's answer was cut short"));
        body = buffer.left(int(length));
    } else {
        while (socket->state() == QAbstractSocket::ConnectedState && socket->waitForReadyRead(timeoutMs))
            buffer += socket->readAll();
        body = socket->isOpen() ? buffer + socket->readAll() : buffer;
    }
    socket->close();
    return outcome(status, etag, body, {});
}

S3Outcome S3Client::sendAndWait(QNetworkAccessManager *manager, const S3Request &request)
{
    QNetworkReply *reply = send(manager, request);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec();
    S3Outcome o = outcome(reply);
    reply->deleteLater();
    return o;
}

} // namespace UGENERAL
