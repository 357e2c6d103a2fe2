#pragma once

// A small client of the S3 object-store protocol over Qt Network: requests signed with AWS
// Signature Version 4 (header signing), for PutObject and the three multipart calls.
//
// The client is only configuration and signer, so one instance may be shared by every thread;
// a network access manager belongs to one thread, so each thread that sends brings its own.

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QNetworkRequest>
#include <QPair>
#include <QSslConfiguration>
#include <QString>

class QNetworkAccessManager;
class QNetworkReply;

namespace UGENERAL {

struct S3Settings
{
    QByteArray endpoint;       // "scheme://host[:port]" or "host[:port]" (then https)
    QByteArray accessKey;
    QByteArray secretKey;
    QByteArray bucket;
    bool forcePathStyle = false;
    QByteArray region = "us-east-1";
};

// One signed request, ready to send.
struct S3Request
{
    QByteArray method;
    QNetworkRequest request;
    QByteArray body;
};

// What came back: ok for a 2xx answer; otherwise message holds the store's own message (or the
// network's error text).
struct S3Outcome
{
    bool ok = false;
    int status = 0;
    QString message;
    QByteArray etag;
    QByteArray uploadId;
    QByteArray body;
};

using S3Query = QList<QPair<QByteArray, QByteArray>>;
using S3Parts = QList<QPair<int, QByteArray>>;   // part number, ETag

namespace S3Sign {
// Percent-encodes everything but A-Z a-z 0-9 - _ . ~ (and "/" when keepSlash).
QByteArray uriEncode(const QByteArray &bytes, bool keepSlash);
QByteArray sha256Hex(const QByteArray &bytes);
// The Authorization header value. headers: lower-case names with trimmed values, all of them
// signed.
QByteArray authorization(const QByteArray &method, const QByteArray &canonicalUri,
                         const QByteArray &canonicalQuery,
                         QList<QPair<QByteArray, QByteArray>> headers,
                         const QByteArray &payloadHash, const QByteArray &amzDate,
                         const QByteArray &region, const QByteArray &accessKey,
                         const QByteArray &secretKey);
} // namespace S3Sign

class S3Client
{
public:
    explicit S3Client(const S3Settings &settings);

    const S3Settings &settings() const { return settings_; }

    // now: the signing time (current UTC time when invalid).
    S3Request putObject(const QByteArray &key, const QByteArray &body,
                        const QByteArray &contentType, const QDateTime &now = {}) const;
    S3Request createMultipartUpload(const QByteArray &key, const QByteArray &contentType,
                                    const QDateTime &now = {}) const;
    S3Request uploadPart(const QByteArray &key, const QByteArray &uploadId, int partNumber,
                         const QByteArray &body, const QDateTime &now = {}) const;
    S3Request completeMultipartUpload(const QByteArray &key, const QByteArray &uploadId,
                                      const S3Parts &parts, const QDateTime &now = {}) const;

    // Any request: key "" addresses the bucket itself; acl adds the canned ACL public-read.
    S3Request build(const QByteArray &method, const QByteArray &key, const S3Query &query,
                    const QByteArray &body, const QByteArray &contentType, bool acl,
                    const QDateTime &now) const;

    // Sends on the given manager (of the calling thread).
    static QNetworkReply *send(QNetworkAccessManager *manager, const S3Request &request);
    // Reads a finished reply.
    static S3Outcome outcome(QNetworkReply *reply);
    // Sends and waits in a local event loop; for worker threads.
    static S3Outcome sendAndWait(QNetworkAccessManager *manager, const S3Request &request);
    // Sends over a socket of the calling thread's own, blocking it; for worker threads with
    // large bodies, which the network access manager feeds to its socket 16 KiB at a time.
    // timeoutMs bounds each wait for the peer.
    static S3Outcome sendBlocking(const S3Request &request, int timeoutMs = 120000);
    // The outcome of a whole response.
    static S3Outcome outcome(int status, const QByteArray &etag, const QByteArray &body,
                             const QString &networkError);

private:
    // The system's authorities, and the extra one the server link trusts.
    static QSslConfiguration tlsConfiguration();

    S3Settings settings_;
    QSslConfiguration tls_;
    QByteArray scheme_;
    QByteArray hostPort_;   // as given, without scheme or path
};

} // namespace UGENERAL
