<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ko" sourcelanguage="en">
<context>
    <name></name>
    <message id="LoginAccount">
        <source>User ID</source>
        <extracomment>Login screen: caption of the user ID field.</extracomment>
        <translation>사용자 ID</translation>
    </message>
    <message id="LoginPassword">
        <source>Password</source>
        <extracomment>Login screen: caption of the password field.</extracomment>
        <translation>비밀번호</translation>
    </message>
    <message id="Login4">
        <source>Remember password</source>
        <extracomment>Login screen: check box that keeps the password for the next start.</extracomment>
        <translation>비밀번호 저장</translation>
    </message>
    <message id="Login5">
        <source>Sign in</source>
        <extracomment>Login screen: sign-in button.</extracomment>
        <translation>로그인</translation>
    </message>
    <message id="Login8">
        <source>Signing in…</source>
        <extracomment>Login screen: sign-in button title while the request runs.</extracomment>
        <translation>로그인 중…</translation>
    </message>
    <message id="LoginForgotPassword">
        <source>Forgot password?</source>
        <extracomment>Login screen: link that opens the password-reset web page.</extracomment>
        <translation>비밀번호를 잊으셨나요?</translation>
    </message>
    <message id="LoginRegister">
        <source>Create an account</source>
        <extracomment>Login screen: button that opens the sign-up window.</extracomment>
        <translation>계정 만들기</translation>
    </message>
    <message id="LoginHint1">
        <source>Please enter your user ID.</source>
        <extracomment>Login alert: the user ID field is empty.</extracomment>
        <translation>사용자 ID를 입력하세요.</translation>
    </message>
    <message id="LoginHint2">
        <source>Please enter your password.</source>
        <extracomment>Login alert: the password field is empty.</extracomment>
        <translation>비밀번호를 입력하세요.</translation>
    </message>
    <message id="LoginHint3">
        <source>Sign-in failed. Please check your user ID and password.</source>
        <extracomment>Login alert: the service refused the user ID and password.</extracomment>
        <translation>로그인하지 못했습니다. 사용자 ID와 비밀번호를 확인하세요.</translation>
    </message>
    <message id="LoginHint4">
        <source>The service cannot be reached or did not answer properly. Please check your Internet connection and try again.</source>
        <extracomment>Login alert: the service could not be reached (no connection, refused, timed out) or sent an answer that cannot be read.</extracomment>
        <translation>서비스에 연결할 수 없거나 응답이 올바르지 않습니다. 인터넷 연결을 확인한 후 다시 시도하세요.</translation>
    </message>
    <message id="RegisterTitle">
        <source>Create an account</source>
        <extracomment>Sign-up window: window title.</extracomment>
        <translation>계정 만들기</translation>
    </message>
    <message id="Register1">
        <source>User ID</source>
        <extracomment>Field caption (sign-up, profile): user ID (login name).</extracomment>
        <translation>사용자 ID</translation>
    </message>
    <message id="Register2">
        <source>Password</source>
        <extracomment>Sign-up field caption: password.</extracomment>
        <translation>비밀번호</translation>
    </message>
    <message id="Register7">
        <source>Confirm password</source>
        <extracomment>Sign-up field caption: password typed a second time.</extracomment>
        <translation>비밀번호 확인</translation>
    </message>
    <message id="Register3">
        <source>First name</source>
        <extracomment>Field caption (sign-up, profile): first (given) name.</extracomment>
        <translation>이름</translation>
    </message>
    <message id="Register5">
        <source>Last name</source>
        <extracomment>Field caption (sign-up, profile): last (family) name.</extracomment>
        <translation>성</translation>
    </message>
    <message id="Register9">
        <source>Address</source>
        <extracomment>Field caption (sign-up, profile): postal address.</extracomment>
        <translation>주소</translation>
    </message>
    <message id="Register12">
        <source>State/Province</source>
        <extracomment>Field caption (sign-up, profile): state or province.</extracomment>
        <translation>주/도</translation>
    </message>
    <message id="Register13">
        <source>City</source>
        <extracomment>Field caption (sign-up, profile): city.</extracomment>
        <translation>도시</translation>
    </message>
    <message id="Register11">
        <source>Country</source>
        <extracomment>Field caption (sign-up, profile): country.</extracomment>
        <translation>국가</translation>
    </message>
    <message id="Register8">
        <source>Telephone</source>
        <extracomment>Field caption (sign-up, profile): telephone number.</extracomment>
        <translation>전화번호</translation>
    </message>
    <message id="Register6">
        <source>E-mail</source>
        <extracomment>Field caption (sign-up, profile): e-mail address.</extracomment>
        <translation>이메일</translation>
    </message>
    <message id="RegisterButton">
        <source>Sign up</source>
        <extracomment>Sign-up window: button that sends the form.</extracomment>
        <translation>가입하기</translation>
    </message>
    <message id="RegisterReset">
        <source>Reset</source>
        <extracomment>Sign-up window: button that empties the form.</extracomment>
        <translation>초기화</translation>
    </message>
    <message id="RegisterPrivacy">
        <source>Privacy policy and terms of use</source>
        <extracomment>Sign-up window: link that opens the privacy and terms document.</extracomment>
        <translation>개인정보 처리방침 및 이용약관</translation>
    </message>
    <message id="RegisterHint1">
        <source>Please fill in all required fields.</source>
        <extracomment>Alert (sign-up, profile): a required field is empty.</extracomment>
        <translation>필수 항목을 모두 입력하세요.</translation>
    </message>
    <message id="RegisterHint2">
        <source>Please enter a valid e-mail address.</source>
        <extracomment>Sign-up alert: the e-mail address is not valid or no mail could be sent to it.</extracomment>
        <translation>올바른 이메일 주소를 입력하세요.</translation>
    </message>
    <message id="RegisterHint3">
        <source>The passwords do not match.</source>
        <extracomment>Sign-up alert: password and confirmation differ.</extracomment>
        <translation>비밀번호가 일치하지 않습니다.</translation>
    </message>
    <message id="RegisterHint4">
        <source>The user ID can be at most 30 characters long.</source>
        <extracomment>Sign-up alert: the user ID is longer than 30 characters.</extracomment>
        <translation>사용자 ID는 최대 30자까지 입력할 수 있습니다.</translation>
    </message>
    <message id="RegisterHint5">
        <source>The password must be 6 to 16 characters long.</source>
        <extracomment>Sign-up alert: the password is shorter than 6 or longer than 16 characters.</extracomment>
        <translation>비밀번호는 6~16자여야 합니다.</translation>
    </message>
    <message id="RegisterHint6">
        <source>Your account has been created. You can now sign in.</source>
        <extracomment>Sign-up alert: the account was created.</extracomment>
        <translation>계정이 생성되었습니다. 이제 로그인할 수 있습니다.</translation>
    </message>
    <message id="RegisterHint7">
        <source>This user ID is already taken. Please choose another one.</source>
        <extracomment>Sign-up alert: the service already has this user ID.</extracomment>
        <translation>이미 사용 중인 사용자 ID입니다. 다른 ID를 선택하세요.</translation>
    </message>
    <message id="RegisterHint8">
        <source>This e-mail address is already registered.</source>
        <extracomment>Sign-up alert: the service already has this e-mail address.</extracomment>
        <translation>이미 등록된 이메일 주소입니다.</translation>
    </message>
    <message id="App3">
        <source>Copyright © Ostrelle. All rights reserved.</source>
        <extracomment>Main window footer: copyright line.</extracomment>
        <translation>Copyright © Ostrelle. 모든 권리 보유.</translation>
    </message>
    <message id="App4">
        <source>Ostrelle</source>
        <extracomment>Main window footer: company label.</extracomment>
        <translation>Ostrelle</translation>
    </message>
    <message id="App5">
        <source>A server error occurred. Please try again later.</source>
        <extracomment>Alert: the service answered with a server error (code -1).</extracomment>
        <translation>서버 오류가 발생했습니다. 잠시 후 다시 시도하세요.</translation>
    </message>
    <message id="Main1">
        <source>Updates</source>
        <extracomment>Tab bar: the updates page.</extracomment>
        <translation>업데이트</translation>
    </message>
    <message id="Main3">
        <source>Profile</source>
        <extracomment>Tab bar: the profile page.</extracomment>
        <translation>프로필</translation>
    </message>
    <message id="Main4">
        <source>Feedback</source>
        <extracomment>Tab bar: the feedback (support request) page.</extracomment>
        <translation>피드백</translation>
    </message>
    <message id="Main7">
        <source>Software management</source>
        <extracomment>Tab bar: the page listing and removing software installed on the SD card.</extracomment>
        <translation>소프트웨어 관리</translation>
    </message>
    <message id="MainHint2">
        <source>Loading, please wait…</source>
        <extracomment>Large text shown while the devices or the update list are loading.</extracomment>
        <translation>불러오는 중입니다. 잠시 기다려 주세요…</translation>
    </message>
    <message id="UpdateHint2">
        <source>Could not load your devices. Please check your network connection and try again.</source>
        <extracomment>Alert: the account's devices could not be loaded.</extracomment>
        <translation>기기 목록을 불러오지 못했습니다. 네트워크 연결을 확인한 후 다시 시도하세요.</translation>
    </message>
    <message id="UpdateHint3">
        <source>No device is registered to this account.</source>
        <extracomment>Alert: the account has no devices.</extracomment>
        <translation>이 계정에 등록된 기기가 없습니다.</translation>
    </message>
    <message id="UpdateHint4">
        <source>Could not load the update list. Please try again later.</source>
        <extracomment>Alert: the device's update list could not be loaded.</extracomment>
        <translation>업데이트 목록을 불러오지 못했습니다. 잠시 후 다시 시도하세요.</translation>
    </message>
    <message id="UpdateHint11">
        <source>Downloads are still in progress. Do you really want to quit?</source>
        <extracomment>Alert on closing the window while downloads run; buttons Update26 and Update27.</extracomment>
        <translation>다운로드가 아직 진행 중입니다. 정말 종료하시겠습니까?</translation>
    </message>
    <message id="UpdateHint12">
        <source>Everything is up to date. There are no new updates for this device.</source>
        <extracomment>Alert: nothing to update for the chosen device.</extracomment>
        <translation>모두 최신 상태입니다. 이 기기에 대한 새 업데이트가 없습니다.</translation>
    </message>
    <message id="UpdateHint14">
        <source>There is not enough free space on the SD card. Please free up some space and try again.</source>
        <extracomment>Alert: the SD card is too full to install a downloaded package.</extracomment>
        <translation>SD 카드의 여유 공간이 부족합니다. 공간을 확보한 후 다시 시도하세요.</translation>
    </message>
    <message id="UpdateHint15">
        <source>The download records in %1 cannot be read. Downloads and installed software are not shown, and nothing you do is kept until they can be read. Restore the file, or move it away to start with empty records, then start the application again.</source>
        <extracomment>Alert: the database file cannot be opened or read; %1 is its path.</extracomment>
        <translation>%1의 다운로드 기록을 읽을 수 없습니다. 다운로드와 설치된 소프트웨어가 표시되지 않으며, 기록을 읽을 수 있을 때까지 어떤 작업도 저장되지 않습니다. 파일을 복원하거나 다른 곳으로 옮겨 빈 기록으로 시작한 다음 애플리케이션을 다시 시작하십시오.</translation>
    </message>
    <message id="UpdateHint16">
        <source>The installation of %1 could not be recorded, so it is not shown as installed. Its downloaded files were kept. Make sure the disk that holds your Documents folder has free space, then install %1 again.</source>
        <extracomment>Alert: a package was written to the SD card but its installation could not be recorded in the database; %1 is the vehicle (software) name.</extracomment>
        <translation>%1의 설치를 기록할 수 없어 설치된 것으로 표시되지 않습니다. 다운로드한 파일은 보존되었습니다. 문서 폴더가 있는 디스크에 여유 공간을 확보한 다음 %1을(를) 다시 설치하십시오.</translation>
    </message>
    <message id="Update9">
        <source>SD card</source>
        <extracomment>Updates page: caption before the SD card choice.</extracomment>
        <translation>SD 카드</translation>
    </message>
    <message id="Update8">
        <source>Serial number</source>
        <extracomment>Updates page: caption before the device (serial number) choice.</extracomment>
        <translation>일련번호</translation>
    </message>
    <message id="Update29">
        <source>Update all</source>
        <extracomment>Updates page: button that downloads and installs every package.</extracomment>
        <translation>모두 업데이트</translation>
    </message>
    <message id="Update30">
        <source>Refresh</source>
        <extracomment>Updates page: button that reloads the update list.</extracomment>
        <translation>새로 고침</translation>
    </message>
    <message id="RegisterProductHint10">
        <source>How to insert the SD card</source>
        <extracomment>Updates page: help link that shows how to insert the SD card; blinks while no card is found.</extracomment>
        <translation>SD 카드 삽입 방법</translation>
    </message>
    <message id="Update21">
        <source>OK</source>
        <extracomment>OK button of information alerts.</extracomment>
        <translation>확인</translation>
    </message>
    <message id="Update26">
        <source>OK</source>
        <extracomment>OK button of the quit question and of the uninstall-finished alert.</extracomment>
        <translation>확인</translation>
    </message>
    <message id="Update27">
        <source>Cancel</source>
        <extracomment>Cancel button of the quit question.</extracomment>
        <translation>취소</translation>
    </message>
    <message id="Update31">
        <source>Downloading</source>
        <extracomment>Package state: downloading.</extracomment>
        <translation>다운로드 중</translation>
    </message>
    <message id="Update37">
        <source>Waiting</source>
        <extracomment>Package state: waiting for its turn to download.</extracomment>
        <translation>대기 중</translation>
    </message>
    <message id="Update32">
        <source>Paused</source>
        <extracomment>Package state: download paused.</extracomment>
        <translation>일시 중지됨</translation>
    </message>
    <message id="Update38">
        <source>Ready to install</source>
        <extracomment>Package state: downloaded, waiting to be installed on the SD card.</extracomment>
        <translation>설치 대기 중</translation>
    </message>
    <message id="Update33">
        <source>Download failed</source>
        <extracomment>Package state: the download failed.</extracomment>
        <translation>다운로드 실패</translation>
    </message>
    <message id="Update34">
        <source>Installing</source>
        <extracomment>Package state: being installed (unpacked) onto the SD card.</extracomment>
        <translation>설치 중</translation>
    </message>
    <message id="Update36">
        <source>Installed</source>
        <extracomment>Package state: installed on the SD card; also the overall status when everything is done.</extracomment>
        <translation>설치됨</translation>
    </message>
    <message id="Update35">
        <source>Installation failed</source>
        <extracomment>Package state: installation onto the SD card failed.</extracomment>
        <translation>설치 실패</translation>
    </message>
    <message id="Tips21">
        <source>Please allow access to the SD card</source>
        <extracomment>Folder dialog message, followed by a colon and the SD card's name.</extracomment>
        <translation>SD 카드에 대한 액세스를 허용하세요</translation>
    </message>
    <message id="Tips22">
        <source>Allow access</source>
        <extracomment>Folder dialog: confirm button.</extracomment>
        <translation>액세스 허용</translation>
    </message>
    <message id="Update1">
        <source>No.</source>
        <extracomment>Software-management table: column of row numbers.</extracomment>
        <translation>번호</translation>
    </message>
    <message id="Update2">
        <source>Software</source>
        <extracomment>Software-management table: column of software (vehicle) names.</extracomment>
        <translation>소프트웨어</translation>
    </message>
    <message id="Update3">
        <source>Version</source>
        <extracomment>Software-management table: column of installed versions.</extracomment>
        <translation>버전</translation>
    </message>
    <message id="Update4">
        <source>Language</source>
        <extracomment>Software-management table: column of installed languages.</extracomment>
        <translation>언어</translation>
    </message>
    <message id="Uninstall">
        <source>Uninstall</source>
        <extracomment>Software-management page: button that removes the ticked software from the SD card.</extracomment>
        <translation>제거</translation>
    </message>
    <message id="Installed1">
        <source>Uninstallation finished.</source>
        <extracomment>Alert: the removal of the ticked software has finished.</extracomment>
        <translation>제거가 완료되었습니다.</translation>
    </message>
    <message id="UninstallHint1">
        <source>The following software could not be removed from the SD card: %1</source>
        <extracomment>Alert at the end of a removal: %1 is the comma-separated list of software (vehicle names) that could not be removed from the SD card.</extracomment>
        <translation>다음 소프트웨어를 SD 카드에서 제거하지 못했습니다: %1</translation>
    </message>
    <message id="Submit">
        <source>Save</source>
        <extracomment>Profile page: button that saves the edited profile.</extracomment>
        <translation>저장</translation>
    </message>
    <message id="Feedback13">
        <source>Reset</source>
        <extracomment>Button (profile, feedback) that restores or empties the form.</extracomment>
        <translation>초기화</translation>
    </message>
    <message id="UserinfoHint1">
        <source>Your profile has been saved.</source>
        <extracomment>Profile alert: the profile was saved.</extracomment>
        <translation>프로필이 저장되었습니다.</translation>
    </message>
    <message id="UserinfoHint4">
        <source>Could not load your profile. Please try again later.</source>
        <extracomment>Profile alert: the profile could not be loaded.</extracomment>
        <translation>프로필을 불러오지 못했습니다. 잠시 후 다시 시도하세요.</translation>
    </message>
    <message id="Feedback1">
        <source>Subject</source>
        <extracomment>Feedback field caption: subject of the request.</extracomment>
        <translation>제목</translation>
    </message>
    <message id="Feedback2">
        <source>Device</source>
        <extracomment>Feedback field caption: the scan tool (device) the request is about.</extracomment>
        <translation>기기</translation>
    </message>
    <message id="Feedback3">
        <source>Software</source>
        <extracomment>Feedback field caption: the software the request is about.</extracomment>
        <translation>소프트웨어</translation>
    </message>
    <message id="Feedback4">
        <source>Version</source>
        <extracomment>Feedback field caption: version of that software.</extracomment>
        <translation>버전</translation>
    </message>
    <message id="Feedback5">
        <source>VIN</source>
        <extracomment>Feedback field caption: vehicle identification number (17 characters).</extracomment>
        <translation>차대번호(VIN)</translation>
    </message>
    <message id="Feedback8">
        <source>Model year</source>
        <extracomment>Feedback field caption: the vehicle's model year.</extracomment>
        <translation>연식</translation>
    </message>
    <message id="Feedback9">
        <source>Engine size</source>
        <extracomment>Feedback field caption: the vehicle's engine displacement.</extracomment>
        <translation>배기량</translation>
    </message>
    <message id="Feedback11">
        <source>Problem description</source>
        <extracomment>Feedback field caption: free text describing the problem.</extracomment>
        <translation>문제 설명</translation>
    </message>
    <message id="Feedback12">
        <source>Send</source>
        <extracomment>Feedback page: button that sends the support request.</extracomment>
        <translation>보내기</translation>
    </message>
    <message id="FeedbackHint1">
        <source>Please fill in all fields.</source>
        <extracomment>Feedback alert: a field is empty.</extracomment>
        <translation>모든 항목을 입력하세요.</translation>
    </message>
    <message id="FeedbackHint2">
        <source>The VIN must be exactly 17 characters long.</source>
        <extracomment>Feedback alert: the VIN does not have 17 characters.</extracomment>
        <translation>차대번호(VIN)는 정확히 17자여야 합니다.</translation>
    </message>
    <message id="FeedbackHint4">
        <source>Your support request could not be sent. Please try again later.</source>
        <extracomment>Feedback alert: the support request was refused by the service or did not reach it; the form keeps its entries.</extracomment>
        <translation>지원 요청을 보내지 못했습니다. 나중에 다시 시도해 주세요.</translation>
    </message>
    <message id="FeedbackHint3">
        <source>Thank you! Your support request has been sent.</source>
        <extracomment>Feedback alert: the support request was accepted.</extracomment>
        <translation>감사합니다! 지원 요청이 전송되었습니다.</translation>
    </message>
</context>
</TS>
