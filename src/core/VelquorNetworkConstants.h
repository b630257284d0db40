#pragma once

#include <QString>

// The web service's operation paths (relative to the base address), form field names and the
// client's own labels.
namespace VelquorNetwork {

inline const QString kUserRegPath = QStringLiteral("webs/WebService.asmx/UserReg");
inline const QString kUserLoginPath = QStringLiteral("webs/WebService.asmx/UserLogin");
inline const QString kUserProductInformationPath = QStringLiteral("webs/WebService.asmx/UserProductInformation");
inline const QString kProductUpdateInformationPath = QStringLiteral("webs/WebService.asmx/ProductUpdateInformation");
inline const QString kSoftwareInfoPath = QStringLiteral("webs/WebService.asmx/SoftwareInfo");
inline const QString kProductInfoPath = QStringLiteral("webs/WebService.asmx/ProductInfo");
inline const QString kUserComplaintPath = QStringLiteral("webs/WebService.asmx/UserComplaint");
inline const QString kGetUserInformationPath = QStringLiteral("webs/WebService.asmx/GetUserInformation");
inline const QString kUpdateUserInformationPath = QStringLiteral("webs/WebService.asmx/UpdateUserInformation");
inline const QString kUploadPath = QStringLiteral("function/upload.ashx");

inline const QString kInformationBodyKey = QStringLiteral("information");
inline const QString kContentsBodyKey = QStringLiteral("contents");
inline const QString kUploadSerialKey = QStringLiteral("serial");
inline const QString kUploadFileKey = QStringLiteral("Filedata");

inline const QString kNetworkQueueLabel = QStringLiteral("com.ostrelle.Velquor.network");
// Stands for a line feed of an answer until the download record turns it back.
inline const QString kLineFeedFlag = QStringLiteral("OSTRELLE_VELQUOR_FLAG");
inline const QString kServiceUrlEnvironment = QStringLiteral("VELQUOR_SERVICE_URL");
inline constexpr int kDefaultTimeoutMs = 60 * 1000;
// No answer of the service comes near this (16 MB); a larger one is refused as it arrives.
inline constexpr qint64 kMaximumAnswerBytes = 16 * 1000 * 1000;

} // namespace VelquorNetwork
