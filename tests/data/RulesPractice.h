#pragma once

// An empty practice per test, copied from one made once (quicker than a new database each
// time), opened by the data module as at start; with the helpers of RulesFixture.h.

#include "RulesFixture.h"
#include "data/DataDirectory.h"
#include "data/DmUnit.h"
#include "db/Connection.h"
#include "db/Query.h"
#include "platform/Session.h"
#include "platform/Settings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

class RulesPractice {
public:
    RulesPractice()
        : m_config(rulestest::makeConfigDirectory(m_root))
    {
        m_template = m_root.filePath(QStringLiteral("template"));
        testsupport::makeEngineDatabase(m_template);
        data::DataDirectory(testsupport::engineLocation(m_template)).create();
    }

    platform::Settings settings() const { return platform::Settings(platform::Edition::Dental, m_config); }

    // A fresh copy of the empty practice, opened as at start.
    std::unique_ptr<data::TDmForm> open()
    {
        platform::session() = platform::Session{};
        const QString path = m_root.filePath(QStringLiteral("practice-%1").arg(++m_copies));
        QDir().mkpath(path);
        if (testsupport::onPostgres())
            testsupport::copyPostgresDatabase(m_template, path);
        for (const QString& name : QDir(m_template).entryList(QDir::Files))
            QFile::copy(QDir(m_template).filePath(name), QDir(path).filePath(name));
        auto dm = data::TDmForm::connect(testsupport::engineProfile(QStringLiteral("rules"), path));
        dm->openAtStart(settings());
        return dm;
    }

    // A view by name, opened as a window would open it.
    static db::Dataset& view(data::TDmForm& dm, const QString& name)
    {
        db::Dataset* found = dm.findView(name);
        if (!found)
            qFatal("no view %s", qPrintable(name));
        if (!found->isActive())
            dm.OpenTable(*found);
        return *found;
    }

    static QVariant scalar(const data::TDmForm& dm, const QString& sql, const QVariant& id = {})
    {
        return rulestest::scalar(*dm.Database, sql, id.isValid() ? QVariantMap{{QStringLiteral("id"), id}} : QVariantMap{});
    }

    // Appends a row with the given values and posts it; cached rows are stored at once.
    static void addRow(db::Dataset& view, const QVariantMap& values)
    {
        view.append();
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            view.setValue(it.key(), it.value());
        view.post();
        if (view.cachedUpdates())
            view.applyUpdates();
    }

    // A patient stored through the patient rules (with a first session), the current one.
    static int addPatient(data::TDmForm& dm, const QString& lastName = QStringLiteral("Patient"))
    {
        return rulestest::addPatient(dm, lastName);
    }

    // A supplier (a dental lab) stored through its rules, the current one; its number.
    static int addSupplier(data::TDmForm& dm, const QString& company)
    {
        addRow(*dm.supplies().SuppliersTable, { { "Company", company } });
        return dm.supplies().SuppliersTable->value(u"SupplierID").toInt();
    }
    static int addLab(data::TDmForm& dm, const QString& company)
    {
        addRow(*dm.supplies().DentalLabTable, { { "Company", company } });
        return dm.supplies().DentalLabTable->value(u"DentalLabID").toInt();
    }

private:
    QTemporaryDir m_root;
    QString m_config;
    QString m_template;
    int m_copies = 0;
};

// The base of a test whose functions each open their own copy of one empty practice.
class RulesTest : public QObject {
protected:
    std::unique_ptr<RulesPractice> m_practice = std::make_unique<RulesPractice>();
};
