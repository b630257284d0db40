#pragma once

#include "core/VelquorJsonMapping.h"

// The answer of the upload: plain JSON, no envelope.
class VelquorFileUploadResultModel : public VelquorJsonModel<VelquorFileUploadResultModel>
{
public:
    static const VelquorJsonMapping<VelquorFileUploadResultModel> &mapping();

    bool status() const { return m_status; }
    void setStatus(bool value) { m_status = value; }
    QString msg() const { return m_msg; }
    void setMsg(const QString &value) { m_msg = value; }
    QString name() const { return m_name; }
    void setName(const QString &value) { m_name = value; }
    QString path() const { return m_path; }
    void setPath(const QString &value) { m_path = value; }
    QString thumb() const { return m_thumb; }
    void setThumb(const QString &value) { m_thumb = value; }
    QString ext() const { return m_ext; }
    void setExt(const QString &value) { m_ext = value; }
    qint64 size() const { return m_size; }
    void setSize(qint64 value) { m_size = value; }

private:
    bool m_status = false;
    QString m_msg;
    QString m_name;
    QString m_path;
    QString m_thumb;
    QString m_ext;
    qint64 m_size = 0;
};
