<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja" sourcelanguage="en">
<context>
    <name></name>
    <message id="LoginAccount">
        <source>User ID</source>
        <extracomment>Login screen: caption of the user ID field.</extracomment>
        <translation>ユーザーID</translation>
    </message>
    <message id="LoginPassword">
        <source>Password</source>
        <extracomment>Login screen: caption of the password field.</extracomment>
        <translation>パスワード</translation>
    </message>
    <message id="Login4">
        <source>Remember password</source>
        <extracomment>Login screen: check box that keeps the password for the next start.</extracomment>
        <translation>パスワードを保存</translation>
    </message>
    <message id="Login5">
        <source>Sign in</source>
        <extracomment>Login screen: sign-in button.</extracomment>
        <translation>ログイン</translation>
    </message>
    <message id="Login8">
        <source>Signing in…</source>
        <extracomment>Login screen: sign-in button title while the request runs.</extracomment>
        <translation>ログイン中…</translation>
    </message>
    <message id="LoginForgotPassword">
        <source>Forgot password?</source>
        <extracomment>Login screen: link that opens the password-reset web page.</extracomment>
        <translation>パスワードをお忘れですか？</translation>
    </message>
    <message id="LoginRegister">
        <source>Create an account</source>
        <extracomment>Login screen: button that opens the sign-up window.</extracomment>
        <translation>アカウントを作成</translation>
    </message>
    <message id="LoginHint1">
        <source>Please enter your user ID.</source>
        <extracomment>Login alert: the user ID field is empty.</extracomment>
        <translation>ユーザーIDを入力してください。</translation>
    </message>
    <message id="LoginHint2">
        <source>Please enter your password.</source>
        <extracomment>Login alert: the password field is empty.</extracomment>
        <translation>パスワードを入力してください。</translation>
    </message>
    <message id="LoginHint3">
        <source>Sign-in failed. Please check your user ID and password.</source>
        <extracomment>Login alert: the service refused the user ID and password.</extracomment>
        <translation>ログインできませんでした。ユーザーIDとパスワードを確認してください。</translation>
    </message>
    <message id="LoginHint4">
        <source>The service cannot be reached or did not answer properly. Please check your Internet connection and try again.</source>
        <extracomment>Login alert: the service could not be reached (no connection, refused, timed out) or sent an answer that cannot be read.</extracomment>
        <translation>サービスに接続できないか、応答が正しくありません。インターネット接続を確認して、もう一度お試しください。</translation>
    </message>
    <message id="RegisterTitle">
        <source>Create an account</source>
        <extracomment>Sign-up window: window title.</extracomment>
        <translation>アカウントの作成</translation>
    </message>
    <message id="Register1">
        <source>User ID</source>
        <extracomment>Field caption (sign-up, profile): user ID (login name).</extracomment>
        <translation>ユーザーID</translation>
    </message>
    <message id="Register2">
        <source>Password</source>
        <extracomment>Sign-up field caption: password.</extracomment>
        <translation>パスワード</translation>
    </message>
    <message id="Register7">
        <source>Confirm password</source>
        <extracomment>Sign-up field caption: password typed a second time.</extracomment>
        <translation>パスワード（確認）</translation>
    </message>
    <message id="Register3">
        <source>First name</source>
        <extracomment>Field caption (sign-up, profile): first (given) name.</extracomment>
        <translation>名</translation>
    </message>
    <message id="Register5">
        <source>Last name</source>
        <extracomment>Field caption (sign-up, profile): last (family) name.</extracomment>
        <translation>姓</translation>
    </message>
    <message id="Register9">
        <source>Address</source>
        <extracomment>Field caption (sign-up, profile): postal address.</extracomment>
        <translation>住所</translation>
    </message>
    <message id="Register12">
        <source>State/Province</source>
        <extracomment>Field caption (sign-up, profile): state or province.</extracomment>
        <translation>都道府県/州</translation>
    </message>
    <message id="Register13">
        <source>City</source>
        <extracomment>Field caption (sign-up, profile): city.</extracomment>
        <translation>市区町村</translation>
    </message>
    <message id="Register11">
        <source>Country</source>
        <extracomment>Field caption (sign-up, profile): country.</extracomment>
        <translation>国</translation>
    </message>
    <message id="Register8">
        <source>Telephone</source>
        <extracomment>Field caption (sign-up, profile): telephone number.</extracomment>
        <translation>電話番号</translation>
    </message>
    <message id="Register6">
        <source>E-mail</source>
        <extracomment>Field caption (sign-up, profile): e-mail address.</extracomment>
        <translation>メールアドレス</translation>
    </message>
    <message id="RegisterButton">
        <source>Sign up</source>
        <extracomment>Sign-up window: button that sends the form.</extracomment>
        <translation>登録</translation>
    </message>
    <message id="RegisterReset">
        <source>Reset</source>
        <extracomment>Sign-up window: button that empties the form.</extracomment>
        <translation>リセット</translation>
    </message>
    <message id="RegisterPrivacy">
        <source>Privacy policy and terms of use</source>
        <extracomment>Sign-up window: link that opens the privacy and terms document.</extracomment>
        <translation>プライバシーポリシーと利用規約</translation>
    </message>
    <message id="RegisterHint1">
        <source>Please fill in all required fields.</source>
        <extracomment>Alert (sign-up, profile): a required field is empty.</extracomment>
        <translation>必須項目をすべて入力してください。</translation>
    </message>
    <message id="RegisterHint2">
        <source>Please enter a valid e-mail address.</source>
        <extracomment>Sign-up alert: the e-mail address is not valid or no mail could be sent to it.</extracomment>
        <translation>有効なメールアドレスを入力してください。</translation>
    </message>
    <message id="RegisterHint3">
        <source>The passwords do not match.</source>
        <extracomment>Sign-up alert: password and confirmation differ.</extracomment>
        <translation>パスワードが一致しません。</translation>
    </message>
    <message id="RegisterHint4">
        <source>The user ID can be at most 30 characters long.</source>
        <extracomment>Sign-up alert: the user ID is longer than 30 characters.</extracomment>
        <translation>ユーザーIDは30文字以内で入力してください。</translation>
    </message>
    <message id="RegisterHint5">
        <source>The password must be 6 to 16 characters long.</source>
        <extracomment>Sign-up alert: the password is shorter than 6 or longer than 16 characters.</extracomment>
        <translation>パスワードは6～16文字で入力してください。</translation>
    </message>
    <message id="RegisterHint6">
        <source>Your account has been created. You can now sign in.</source>
        <extracomment>Sign-up alert: the account was created.</extracomment>
        <translation>アカウントを作成しました。ログインできます。</translation>
    </message>
    <message id="RegisterHint7">
        <source>This user ID is already taken. Please choose another one.</source>
        <extracomment>Sign-up alert: the service already has this user ID.</extracomment>
        <translation>このユーザーIDは既に使用されています。別のIDを選択してください。</translation>
    </message>
    <message id="RegisterHint8">
        <source>This e-mail address is already registered.</source>
        <extracomment>Sign-up alert: the service already has this e-mail address.</extracomment>
        <translation>このメールアドレスは既に登録されています。</translation>
    </message>
    <message id="App3">
        <source>Copyright © Ostrelle. All rights reserved.</source>
        <extracomment>Main window footer: copyright line.</extracomment>
        <translation>Copyright © Ostrelle. 無断複製・転載を禁じます。</translation>
    </message>
    <message id="App4">
        <source>Ostrelle</source>
        <extracomment>Main window footer: company label.</extracomment>
        <translation>Ostrelle</translation>
    </message>
    <message id="App5">
        <source>A server error occurred. Please try again later.</source>
        <extracomment>Alert: the service answered with a server error (code -1).</extracomment>
        <translation>サーバーエラーが発生しました。しばらくしてからもう一度お試しください。</translation>
    </message>
    <message id="Main1">
        <source>Updates</source>
        <extracomment>Tab bar: the updates page.</extracomment>
        <translation>アップデート</translation>
    </message>
    <message id="Main3">
        <source>Profile</source>
        <extracomment>Tab bar: the profile page.</extracomment>
        <translation>プロフィール</translation>
    </message>
    <message id="Main4">
        <source>Feedback</source>
        <extracomment>Tab bar: the feedback (support request) page.</extracomment>
        <translation>フィードバック</translation>
    </message>
    <message id="Main7">
        <source>Software management</source>
        <extracomment>Tab bar: the page listing and removing software installed on the SD card.</extracomment>
        <translation>ソフトウェア管理</translation>
    </message>
    <message id="MainHint2">
        <source>Loading, please wait…</source>
        <extracomment>Large text shown while the devices or the update list are loading.</extracomment>
        <translation>読み込み中です。しばらくお待ちください…</translation>
    </message>
    <message id="UpdateHint2">
        <source>Could not load your devices. Please check your network connection and try again.</source>
        <extracomment>Alert: the account's devices could not be loaded.</extracomment>
        <translation>デバイスを読み込めませんでした。ネットワーク接続を確認して、もう一度お試しください。</translation>
    </message>
    <message id="UpdateHint3">
        <source>No device is registered to this account.</source>
        <extracomment>Alert: the account has no devices.</extracomment>
        <translation>このアカウントに登録されているデバイスはありません。</translation>
    </message>
    <message id="UpdateHint4">
        <source>Could not load the update list. Please try again later.</source>
        <extracomment>Alert: the device's update list could not be loaded.</extracomment>
        <translation>アップデート一覧を読み込めませんでした。しばらくしてからもう一度お試しください。</translation>
    </message>
    <message id="UpdateHint11">
        <source>Downloads are still in progress. Do you really want to quit?</source>
        <extracomment>Alert on closing the window while downloads run; buttons Update26 and Update27.</extracomment>
        <translation>ダウンロードが進行中です。終了してもよろしいですか？</translation>
    </message>
    <message id="UpdateHint12">
        <source>Everything is up to date. There are no new updates for this device.</source>
        <extracomment>Alert: nothing to update for the chosen device.</extracomment>
        <translation>すべて最新の状態です。このデバイスに新しいアップデートはありません。</translation>
    </message>
    <message id="UpdateHint14">
        <source>There is not enough free space on the SD card. Please free up some space and try again.</source>
        <extracomment>Alert: the SD card is too full to install a downloaded package.</extracomment>
        <translation>SDカードの空き容量が不足しています。空き容量を確保してから、もう一度お試しください。</translation>
    </message>
    <message id="UpdateHint15">
        <source>The download records in %1 cannot be read. Downloads and installed software are not shown, and nothing you do is kept until they can be read. Restore the file, or move it away to start with empty records, then start the application again.</source>
        <extracomment>Alert: the database file cannot be opened or read; %1 is its path.</extracomment>
        <translation>%1 のダウンロード記録を読み込めません。ダウンロードやインストール済みのソフトウェアは表示されず、読み込めるようになるまで操作内容は保存されません。ファイルを元に戻すか、別の場所に移動して空の記録から始めてから、アプリケーションを再起動してください。</translation>
    </message>
    <message id="UpdateHint16">
        <source>The installation of %1 could not be recorded, so it is not shown as installed. Its downloaded files were kept. Make sure the disk that holds your Documents folder has free space, then install %1 again.</source>
        <extracomment>Alert: a package was written to the SD card but its installation could not be recorded in the database; %1 is the vehicle (software) name.</extracomment>
        <translation>%1 のインストールを記録できなかったため、インストール済みとして表示されません。ダウンロードしたファイルは保持されています。書類フォルダがあるディスクに空き容量を確保してから、%1 をもう一度インストールしてください。</translation>
    </message>
    <message id="Update9">
        <source>SD card</source>
        <extracomment>Updates page: caption before the SD card choice.</extracomment>
        <translation>SDカード</translation>
    </message>
    <message id="Update8">
        <source>Serial number</source>
        <extracomment>Updates page: caption before the device (serial number) choice.</extracomment>
        <translation>シリアル番号</translation>
    </message>
    <message id="Update29">
        <source>Update all</source>
        <extracomment>Updates page: button that downloads and installs every package.</extracomment>
        <translation>すべてアップデート</translation>
    </message>
    <message id="Update30">
        <source>Refresh</source>
        <extracomment>Updates page: button that reloads the update list.</extracomment>
        <translation>再読み込み</translation>
    </message>
    <message id="RegisterProductHint10">
        <source>How to insert the SD card</source>
        <extracomment>Updates page: help link that shows how to insert the SD card; blinks while no card is found.</extracomment>
        <translation>SDカードの挿入方法</translation>
    </message>
    <message id="Update21">
        <source>OK</source>
        <extracomment>OK button of information alerts.</extracomment>
        <translation>OK</translation>
    </message>
    <message id="Update26">
        <source>OK</source>
        <extracomment>OK button of the quit question and of the uninstall-finished alert.</extracomment>
        <translation>OK</translation>
    </message>
    <message id="Update27">
        <source>Cancel</source>
        <extracomment>Cancel button of the quit question.</extracomment>
        <translation>キャンセル</translation>
    </message>
    <message id="Update31">
        <source>Downloading</source>
        <extracomment>Package state: downloading.</extracomment>
        <translation>ダウンロード中</translation>
    </message>
    <message id="Update37">
        <source>Waiting</source>
        <extracomment>Package state: waiting for its turn to download.</extracomment>
        <translation>待機中</translation>
    </message>
    <message id="Update32">
        <source>Paused</source>
        <extracomment>Package state: download paused.</extracomment>
        <translation>一時停止中</translation>
    </message>
    <message id="Update38">
        <source>Ready to install</source>
        <extracomment>Package state: downloaded, waiting to be installed on the SD card.</extracomment>
        <translation>インストール待ち</translation>
    </message>
    <message id="Update33">
        <source>Download failed</source>
        <extracomment>Package state: the download failed.</extracomment>
        <translation>ダウンロード失敗</translation>
    </message>
    <message id="Update34">
        <source>Installing</source>
        <extracomment>Package state: being installed (unpacked) onto the SD card.</extracomment>
        <translation>インストール中</translation>
    </message>
    <message id="Update36">
        <source>Installed</source>
        <extracomment>Package state: installed on the SD card; also the overall status when everything is done.</extracomment>
        <translation>インストール済み</translation>
    </message>
    <message id="Update35">
        <source>Installation failed</source>
        <extracomment>Package state: installation onto the SD card failed.</extracomment>
        <translation>インストール失敗</translation>
    </message>
    <message id="Tips21">
        <source>Please allow access to the SD card</source>
        <extracomment>Folder dialog message, followed by a colon and the SD card's name.</extracomment>
        <translation>SDカードへのアクセスを許可してください</translation>
    </message>
    <message id="Tips22">
        <source>Allow access</source>
        <extracomment>Folder dialog: confirm button.</extracomment>
        <translation>アクセスを許可</translation>
    </message>
    <message id="Update1">
        <source>No.</source>
        <extracomment>Software-management table: column of row numbers.</extracomment>
        <translation>番号</translation>
    </message>
    <message id="Update2">
        <source>Software</source>
        <extracomment>Software-management table: column of software (vehicle) names.</extracomment>
        <translation>ソフトウェア</translation>
    </message>
    <message id="Update3">
        <source>Version</source>
        <extracomment>Software-management table: column of installed versions.</extracomment>
        <translation>バージョン</translation>
    </message>
    <message id="Update4">
        <source>Language</source>
        <extracomment>Software-management table: column of installed languages.</extracomment>
        <translation>言語</translation>
    </message>
    <message id="Uninstall">
        <source>Uninstall</source>
        <extracomment>Software-management page: button that removes the ticked software from the SD card.</extracomment>
        <translation>アンインストール</translation>
    </message>
    <message id="Installed1">
        <source>Uninstallation finished.</source>
        <extracomment>Alert: the removal of the ticked software has finished.</extracomment>
        <translation>アンインストールが完了しました。</translation>
    </message>
    <message id="UninstallHint1">
        <source>The following software could not be removed from the SD card: %1</source>
        <extracomment>Alert at the end of a removal: %1 is the comma-separated list of software (vehicle names) that could not be removed from the SD card.</extracomment>
        <translation>次のソフトウェアを SD カードから削除できませんでした: %1</translation>
    </message>
    <message id="Submit">
        <source>Save</source>
        <extracomment>Profile page: button that saves the edited profile.</extracomment>
        <translation>保存</translation>
    </message>
    <message id="Feedback13">
        <source>Reset</source>
        <extracomment>Button (profile, feedback) that restores or empties the form.</extracomment>
        <translation>リセット</translation>
    </message>
    <message id="UserinfoHint1">
        <source>Your profile has been saved.</source>
        <extracomment>Profile alert: the profile was saved.</extracomment>
        <translation>プロフィールを保存しました。</translation>
    </message>
    <message id="UserinfoHint4">
        <source>Could not load your profile. Please try again later.</source>
        <extracomment>Profile alert: the profile could not be loaded.</extracomment>
        <translation>プロフィールを読み込めませんでした。しばらくしてからもう一度お試しください。</translation>
    </message>
    <message id="Feedback1">
        <source>Subject</source>
        <extracomment>Feedback field caption: subject of the request.</extracomment>
        <translation>件名</translation>
    </message>
    <message id="Feedback2">
        <source>Device</source>
        <extracomment>Feedback field caption: the scan tool (device) the request is about.</extracomment>
        <translation>デバイス</translation>
    </message>
    <message id="Feedback3">
        <source>Software</source>
        <extracomment>Feedback field caption: the software the request is about.</extracomment>
        <translation>ソフトウェア</translation>
    </message>
    <message id="Feedback4">
        <source>Version</source>
        <extracomment>Feedback field caption: version of that software.</extracomment>
        <translation>バージョン</translation>
    </message>
    <message id="Feedback5">
        <source>VIN</source>
        <extracomment>Feedback field caption: vehicle identification number (17 characters).</extracomment>
        <translation>車台番号（VIN）</translation>
    </message>
    <message id="Feedback8">
        <source>Model year</source>
        <extracomment>Feedback field caption: the vehicle's model year.</extracomment>
        <translation>年式</translation>
    </message>
    <message id="Feedback9">
        <source>Engine size</source>
        <extracomment>Feedback field caption: the vehicle's engine displacement.</extracomment>
        <translation>排気量</translation>
    </message>
    <message id="Feedback11">
        <source>Problem description</source>
        <extracomment>Feedback field caption: free text describing the problem.</extracomment>
        <translation>問題の説明</translation>
    </message>
    <message id="Feedback12">
        <source>Send</source>
        <extracomment>Feedback page: button that sends the support request.</extracomment>
        <translation>送信</translation>
    </message>
    <message id="FeedbackHint1">
        <source>Please fill in all fields.</source>
        <extracomment>Feedback alert: a field is empty.</extracomment>
        <translation>すべての項目を入力してください。</translation>
    </message>
    <message id="FeedbackHint2">
        <source>The VIN must be exactly 17 characters long.</source>
        <extracomment>Feedback alert: the VIN does not have 17 characters.</extracomment>
        <translation>車台番号（VIN）は17文字で入力してください。</translation>
    </message>
    <message id="FeedbackHint4">
        <source>Your support request could not be sent. Please try again later.</source>
        <extracomment>Feedback alert: the support request was refused by the service or did not reach it; the form keeps its entries.</extracomment>
        <translation>サポートリクエストを送信できませんでした。しばらくしてからもう一度お試しください。</translation>
    </message>
    <message id="FeedbackHint3">
        <source>Thank you! Your support request has been sent.</source>
        <extracomment>Feedback alert: the support request was accepted.</extracomment>
        <translation>ありがとうございます。サポートリクエストを送信しました。</translation>
    </message>
</context>
</TS>
