// One running program per user configuration. A second start hands the
// pictures of its command line to the first, which opens them and comes to
// the front; the second then ends.
#pragma once

#include <QObject>
#include <QStringList>

class QLocalServer;

class SingleInstance : public QObject {
    Q_OBJECT
  public:
    // key: what tells apart two configurations (the settings file).
    explicit SingleInstance(const QString& key, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when a first instance answered and took the pictures.
    bool HandOver(const QStringList& pictures);
    // Starts answering later starts; false when the name cannot be taken.
    bool Listen();
    // Whether another instance answers now (asked before cleaning up
    // shared folders at exit). Stops this one answering.
    bool OtherInstanceRunning();
    QString ServerName() const { return name_; }

  signals:
    // A later start asked to come to the front and open these pictures.
    void activated(const QStringList& pictures);

  private:
    void ReadRequest();
    QString name_;
    QLocalServer* server_ = nullptr;
};
