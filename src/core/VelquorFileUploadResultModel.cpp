#include "VelquorFileUploadResultModel.h"

const VelquorJsonMapping<VelquorFileUploadResultModel> &VelquorFileUploadResultModel::mapping()
{
    static const VelquorJsonMapping<VelquorFileUploadResultModel> table = [] {
        VelquorJsonMapping<VelquorFileUploadResultModel> fields;
        fields.field(QStringLiteral("status"), &VelquorFileUploadResultModel::m_status)
            .field(QStringLiteral("msg"), &VelquorFileUploadResultModel::m_msg)
            .field(QStringLiteral("name"), &VelquorFileUploadResultModel::m_name)
            .field(QStringLiteral("path"), &VelquorFileUploadResultModel::m_path)
            .field(QStringLiteral("thumb"), &VelquorFileUploadResultModel::m_thumb)
            .field(QStringLiteral("ext"), &VelquorFileUploadResultModel::m_ext)
            .field(QStringLiteral("size"), &VelquorFileUploadResultModel::m_size);
        return fields;
    }();
    return table;
}
