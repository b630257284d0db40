<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="nl" sourcelanguage="en">
<context>
    <name></name>
    <message id="LoginAccount">
        <source>User ID</source>
        <extracomment>Login screen: caption of the user ID field.</extracomment>
        <translation>Gebruikers-ID</translation>
    </message>
    <message id="LoginPassword">
        <source>Password</source>
        <extracomment>Login screen: caption of the password field.</extracomment>
        <translation>Wachtwoord</translation>
    </message>
    <message id="Login4">
        <source>Remember password</source>
        <extracomment>Login screen: check box that keeps the password for the next start.</extracomment>
        <translation>Wachtwoord onthouden</translation>
    </message>
    <message id="Login5">
        <source>Sign in</source>
        <extracomment>Login screen: sign-in button.</extracomment>
        <translation>Inloggen</translation>
    </message>
    <message id="Login8">
        <source>Signing in…</source>
        <extracomment>Login screen: sign-in button title while the request runs.</extracomment>
        <translation>Bezig met inloggen…</translation>
    </message>
    <message id="LoginForgotPassword">
        <source>Forgot password?</source>
        <extracomment>Login screen: link that opens the password-reset web page.</extracomment>
        <translation>Wachtwoord vergeten?</translation>
    </message>
    <message id="LoginRegister">
        <source>Create an account</source>
        <extracomment>Login screen: button that opens the sign-up window.</extracomment>
        <translation>Account aanmaken</translation>
    </message>
    <message id="LoginHint1">
        <source>Please enter your user ID.</source>
        <extracomment>Login alert: the user ID field is empty.</extracomment>
        <translation>Voer uw gebruikers-ID in.</translation>
    </message>
    <message id="LoginHint2">
        <source>Please enter your password.</source>
        <extracomment>Login alert: the password field is empty.</extracomment>
        <translation>Voer uw wachtwoord in.</translation>
    </message>
    <message id="LoginHint3">
        <source>Sign-in failed. Please check your user ID and password.</source>
        <extracomment>Login alert: the service refused the user ID and password.</extracomment>
        <translation>Inloggen mislukt. Controleer uw gebruikers-ID en wachtwoord.</translation>
    </message>
    <message id="LoginHint4">
        <source>The service cannot be reached or did not answer properly. Please check your Internet connection and try again.</source>
        <extracomment>Login alert: the service could not be reached (no connection, refused, timed out) or sent an answer that cannot be read.</extracomment>
        <translation>De service is niet bereikbaar of gaf geen geldig antwoord. Controleer uw internetverbinding en probeer het opnieuw.</translation>
    </message>
    <message id="RegisterTitle">
        <source>Create an account</source>
        <extracomment>Sign-up window: window title.</extracomment>
        <translation>Account aanmaken</translation>
    </message>
    <message id="Register1">
        <source>User ID</source>
        <extracomment>Field caption (sign-up, profile): user ID (login name).</extracomment>
        <translation>Gebruikers-ID</translation>
    </message>
    <message id="Register2">
        <source>Password</source>
        <extracomment>Sign-up field caption: password.</extracomment>
        <translation>Wachtwoord</translation>
    </message>
    <message id="Register7">
        <source>Confirm password</source>
        <extracomment>Sign-up field caption: password typed a second time.</extracomment>
        <translation>Wachtwoord bevestigen</translation>
    </message>
    <message id="Register3">
        <source>First name</source>
        <extracomment>Field caption (sign-up, profile): first (given) name.</extracomment>
        <translation>Voornaam</translation>
    </message>
    <message id="Register5">
        <source>Last name</source>
        <extracomment>Field caption (sign-up, profile): last (family) name.</extracomment>
        <translation>Achternaam</translation>
    </message>
    <message id="Register9">
        <source>Address</source>
        <extracomment>Field caption (sign-up, profile): postal address.</extracomment>
        <translation>Adres</translation>
    </message>
    <message id="Register12">
        <source>State/Province</source>
        <extracomment>Field caption (sign-up, profile): state or province.</extracomment>
        <translation>Staat/provincie</translation>
    </message>
    <message id="Register13">
        <source>City</source>
        <extracomment>Field caption (sign-up, profile): city.</extracomment>
        <translation>Plaats</translation>
    </message>
    <message id="Register11">
        <source>Country</source>
        <extracomment>Field caption (sign-up, profile): country.</extracomment>
        <translation>Land</translation>
    </message>
    <message id="Register8">
        <source>Telephone</source>
        <extracomment>Field caption (sign-up, profile): telephone number.</extracomment>
        <translation>Telefoon</translation>
    </message>
    <message id="Register6">
        <source>E-mail</source>
        <extracomment>Field caption (sign-up, profile): e-mail address.</extracomment>
        <translation>E-mailadres</translation>
    </message>
    <message id="RegisterButton">
        <source>Sign up</source>
        <extracomment>Sign-up window: button that sends the form.</extracomment>
        <translation>Registreren</translation>
    </message>
    <message id="RegisterReset">
        <source>Reset</source>
        <extracomment>Sign-up window: button that empties the form.</extracomment>
        <translation>Opnieuw instellen</translation>
    </message>
    <message id="RegisterPrivacy">
        <source>Privacy policy and terms of use</source>
        <extracomment>Sign-up window: link that opens the privacy and terms document.</extracomment>
        <translation>Privacybeleid en gebruiksvoorwaarden</translation>
    </message>
    <message id="RegisterHint1">
        <source>Please fill in all required fields.</source>
        <extracomment>Alert (sign-up, profile): a required field is empty.</extracomment>
        <translation>Vul alle verplichte velden in.</translation>
    </message>
    <message id="RegisterHint2">
        <source>Please enter a valid e-mail address.</source>
        <extracomment>Sign-up alert: the e-mail address is not valid or no mail could be sent to it.</extracomment>
        <translation>Voer een geldig e-mailadres in.</translation>
    </message>
    <message id="RegisterHint3">
        <source>The passwords do not match.</source>
        <extracomment>Sign-up alert: password and confirmation differ.</extracomment>
        <translation>De wachtwoorden komen niet overeen.</translation>
    </message>
    <message id="RegisterHint4">
        <source>The user ID can be at most 30 characters long.</source>
        <extracomment>Sign-up alert: the user ID is longer than 30 characters.</extracomment>
        <translation>De gebruikers-ID mag maximaal 30 tekens lang zijn.</translation>
    </message>
    <message id="RegisterHint5">
        <source>The password must be 6 to 16 characters long.</source>
        <extracomment>Sign-up alert: the password is shorter than 6 or longer than 16 characters.</extracomment>
        <translation>Het wachtwoord moet 6 tot 16 tekens lang zijn.</translation>
    </message>
    <message id="RegisterHint6">
        <source>Your account has been created. You can now sign in.</source>
        <extracomment>Sign-up alert: the account was created.</extracomment>
        <translation>Uw account is aangemaakt. U kunt nu inloggen.</translation>
    </message>
    <message id="RegisterHint7">
        <source>This user ID is already taken. Please choose another one.</source>
        <extracomment>Sign-up alert: the service already has this user ID.</extracomment>
        <translation>Deze gebruikers-ID is al in gebruik. Kies een andere.</translation>
    </message>
    <message id="RegisterHint8">
        <source>This e-mail address is already registered.</source>
        <extracomment>Sign-up alert: the service already has this e-mail address.</extracomment>
        <translation>Dit e-mailadres is al geregistreerd.</translation>
    </message>
    <message id="App3">
        <source>Copyright © Ostrelle. All rights reserved.</source>
        <extracomment>Main window footer: copyright line.</extracomment>
        <translation>Copyright © Ostrelle. Alle rechten voorbehouden.</translation>
    </message>
    <message id="App4">
        <source>Ostrelle</source>
        <extracomment>Main window footer: company label.</extracomment>
        <translation>Ostrelle</translation>
    </message>
    <message id="App5">
        <source>A server error occurred. Please try again later.</source>
        <extracomment>Alert: the service answered with a server error (code -1).</extracomment>
        <translation>Er is een serverfout opgetreden. Probeer het later opnieuw.</translation>
    </message>
    <message id="Main1">
        <source>Updates</source>
        <extracomment>Tab bar: the updates page.</extracomment>
        <translation>Updates</translation>
    </message>
    <message id="Main3">
        <source>Profile</source>
        <extracomment>Tab bar: the profile page.</extracomment>
        <translation>Profiel</translation>
    </message>
    <message id="Main4">
        <source>Feedback</source>
        <extracomment>Tab bar: the feedback (support request) page.</extracomment>
        <translation>Feedback</translation>
    </message>
    <message id="Main7">
        <source>Software management</source>
        <extracomment>Tab bar: the page listing and removing software installed on the SD card.</extracomment>
        <translation>Softwarebeheer</translation>
    </message>
    <message id="MainHint2">
        <source>Loading, please wait…</source>
        <extracomment>Large text shown while the devices or the update list are loading.</extracomment>
        <translation>Bezig met laden, even geduld…</translation>
    </message>
    <message id="UpdateHint2">
        <source>Could not load your devices. Please check your network connection and try again.</source>
        <extracomment>Alert: the account's devices could not be loaded.</extracomment>
        <translation>Uw apparaten konden niet worden geladen. Controleer uw netwerkverbinding en probeer het opnieuw.</translation>
    </message>
    <message id="UpdateHint3">
        <source>No device is registered to this account.</source>
        <extracomment>Alert: the account has no devices.</extracomment>
        <translation>Er is geen apparaat geregistreerd bij dit account.</translation>
    </message>
    <message id="UpdateHint4">
        <source>Could not load the update list. Please try again later.</source>
        <extracomment>Alert: the device's update list could not be loaded.</extracomment>
        <translation>De lijst met updates kon niet worden geladen. Probeer het later opnieuw.</translation>
    </message>
    <message id="UpdateHint11">
        <source>Downloads are still in progress. Do you really want to quit?</source>
        <extracomment>Alert on closing the window while downloads run; buttons Update26 and Update27.</extracomment>
        <translation>Er worden nog bestanden gedownload. Weet u zeker dat u wilt afsluiten?</translation>
    </message>
    <message id="UpdateHint12">
        <source>Everything is up to date. There are no new updates for this device.</source>
        <extracomment>Alert: nothing to update for the chosen device.</extracomment>
        <translation>Alles is up-to-date. Er zijn geen nieuwe updates voor dit apparaat.</translation>
    </message>
    <message id="UpdateHint14">
        <source>There is not enough free space on the SD card. Please free up some space and try again.</source>
        <extracomment>Alert: the SD card is too full to install a downloaded package.</extracomment>
        <translation>Er is onvoldoende vrije ruimte op de SD-kaart. Maak ruimte vrij en probeer het opnieuw.</translation>
    </message>
    <message id="UpdateHint15">
        <source>The download records in %1 cannot be read. Downloads and installed software are not shown, and nothing you do is kept until they can be read. Restore the file, or move it away to start with empty records, then start the application again.</source>
        <extracomment>Alert: the database file cannot be opened or read; %1 is its path.</extracomment>
        <translation>De downloadgegevens in %1 kunnen niet worden gelezen. Downloads en geïnstalleerde software worden niet getoond, en niets wat u doet wordt bewaard totdat ze weer leesbaar zijn. Zet het bestand terug, of verplaats het om met lege gegevens te beginnen, en start de toepassing daarna opnieuw.</translation>
    </message>
    <message id="UpdateHint16">
        <source>The installation of %1 could not be recorded, so it is not shown as installed. Its downloaded files were kept. Make sure the disk that holds your Documents folder has free space, then install %1 again.</source>
        <extracomment>Alert: a package was written to the SD card but its installation could not be recorded in the database; %1 is the vehicle (software) name.</extracomment>
        <translation>De installatie van %1 kon niet worden vastgelegd, dus wordt het niet als geïnstalleerd getoond. De gedownloade bestanden zijn bewaard. Zorg voor vrije ruimte op de schijf met uw map Documenten en installeer %1 daarna opnieuw.</translation>
    </message>
    <message id="Update9">
        <source>SD card</source>
        <extracomment>Updates page: caption before the SD card choice.</extracomment>
        <translation>SD-kaart</translation>
    </message>
    <message id="Update8">
        <source>Serial number</source>
        <extracomment>Updates page: caption before the device (serial number) choice.</extracomment>
        <translation>Serienummer</translation>
    </message>
    <message id="Update29">
        <source>Update all</source>
        <extracomment>Updates page: button that downloads and installs every package.</extracomment>
        <translation>Alles bijwerken</translation>
    </message>
    <message id="Update30">
        <source>Refresh</source>
        <extracomment>Updates page: button that reloads the update list.</extracomment>
        <translation>Vernieuwen</translation>
    </message>
    <message id="RegisterProductHint10">
        <source>How to insert the SD card</source>
        <extracomment>Updates page: help link that shows how to insert the SD card; blinks while no card is found.</extracomment>
        <translation>Zo plaatst u de SD-kaart</translation>
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
        <translation>Annuleren</translation>
    </message>
    <message id="Update31">
        <source>Downloading</source>
        <extracomment>Package state: downloading.</extracomment>
        <translation>Bezig met downloaden</translation>
    </message>
    <message id="Update37">
        <source>Waiting</source>
        <extracomment>Package state: waiting for its turn to download.</extracomment>
        <translation>In wachtrij</translation>
    </message>
    <message id="Update32">
        <source>Paused</source>
        <extracomment>Package state: download paused.</extracomment>
        <translation>Gepauzeerd</translation>
    </message>
    <message id="Update38">
        <source>Ready to install</source>
        <extracomment>Package state: downloaded, waiting to be installed on the SD card.</extracomment>
        <translation>Klaar voor installatie</translation>
    </message>
    <message id="Update33">
        <source>Download failed</source>
        <extracomment>Package state: the download failed.</extracomment>
        <translation>Downloaden mislukt</translation>
    </message>
    <message id="Update34">
        <source>Installing</source>
        <extracomment>Package state: being installed (unpacked) onto the SD card.</extracomment>
        <translation>Bezig met installeren</translation>
    </message>
    <message id="Update36">
        <source>Installed</source>
        <extracomment>Package state: installed on the SD card; also the overall status when everything is done.</extracomment>
        <translation>Geïnstalleerd</translation>
    </message>
    <message id="Update35">
        <source>Installation failed</source>
        <extracomment>Package state: installation onto the SD card failed.</extracomment>
        <translation>Installatie mislukt</translation>
    </message>
    <message id="Tips21">
        <source>Please allow access to the SD card</source>
        <extracomment>Folder dialog message, followed by a colon and the SD card's name.</extracomment>
        <translation>Geef toegang tot de SD-kaart</translation>
    </message>
    <message id="Tips22">
        <source>Allow access</source>
        <extracomment>Folder dialog: confirm button.</extracomment>
        <translation>Toegang geven</translation>
    </message>
    <message id="Update1">
        <source>No.</source>
        <extracomment>Software-management table: column of row numbers.</extracomment>
        <translation>Nr.</translation>
    </message>
    <message id="Update2">
        <source>Software</source>
        <extracomment>Software-management table: column of software (vehicle) names.</extracomment>
        <translation>Software</translation>
    </message>
    <message id="Update3">
        <source>Version</source>
        <extracomment>Software-management table: column of installed versions.</extracomment>
        <translation>Versie</translation>
    </message>
    <message id="Update4">
        <source>Language</source>
        <extracomment>Software-management table: column of installed languages.</extracomment>
        <translation>Taal</translation>
    </message>
    <message id="Uninstall">
        <source>Uninstall</source>
        <extracomment>Software-management page: button that removes the ticked software from the SD card.</extracomment>
        <translation>Verwijderen</translation>
    </message>
    <message id="Installed1">
        <source>Uninstallation finished.</source>
        <extracomment>Alert: the removal of the ticked software has finished.</extracomment>
        <translation>Het verwijderen is voltooid.</translation>
    </message>
    <message id="UninstallHint1">
        <source>The following software could not be removed from the SD card: %1</source>
        <extracomment>Alert at the end of a removal: %1 is the comma-separated list of software (vehicle names) that could not be removed from the SD card.</extracomment>
        <translation>De volgende software kon niet van de SD-kaart worden verwijderd: %1</translation>
    </message>
    <message id="Submit">
        <source>Save</source>
        <extracomment>Profile page: button that saves the edited profile.</extracomment>
        <translation>Opslaan</translation>
    </message>
    <message id="Feedback13">
        <source>Reset</source>
        <extracomment>Button (profile, feedback) that restores or empties the form.</extracomment>
        <translation>Opnieuw instellen</translation>
    </message>
    <message id="UserinfoHint1">
        <source>Your profile has been saved.</source>
        <extracomment>Profile alert: the profile was saved.</extracomment>
        <translation>Uw profiel is opgeslagen.</translation>
    </message>
    <message id="UserinfoHint4">
        <source>Could not load your profile. Please try again later.</source>
        <extracomment>Profile alert: the profile could not be loaded.</extracomment>
        <translation>Uw profiel kon niet worden geladen. Probeer het later opnieuw.</translation>
    </message>
    <message id="Feedback1">
        <source>Subject</source>
        <extracomment>Feedback field caption: subject of the request.</extracomment>
        <translation>Onderwerp</translation>
    </message>
    <message id="Feedback2">
        <source>Device</source>
        <extracomment>Feedback field caption: the scan tool (device) the request is about.</extracomment>
        <translation>Apparaat</translation>
    </message>
    <message id="Feedback3">
        <source>Software</source>
        <extracomment>Feedback field caption: the software the request is about.</extracomment>
        <translation>Software</translation>
    </message>
    <message id="Feedback4">
        <source>Version</source>
        <extracomment>Feedback field caption: version of that software.</extracomment>
        <translation>Versie</translation>
    </message>
    <message id="Feedback5">
        <source>VIN</source>
        <extracomment>Feedback field caption: vehicle identification number (17 characters).</extracomment>
        <translation>Chassisnummer (VIN)</translation>
    </message>
    <message id="Feedback8">
        <source>Model year</source>
        <extracomment>Feedback field caption: the vehicle's model year.</extracomment>
        <translation>Bouwjaar</translation>
    </message>
    <message id="Feedback9">
        <source>Engine size</source>
        <extracomment>Feedback field caption: the vehicle's engine displacement.</extracomment>
        <translation>Cilinderinhoud</translation>
    </message>
    <message id="Feedback11">
        <source>Problem description</source>
        <extracomment>Feedback field caption: free text describing the problem.</extracomment>
        <translation>Probleembeschrijving</translation>
    </message>
    <message id="Feedback12">
        <source>Send</source>
        <extracomment>Feedback page: button that sends the support request.</extracomment>
        <translation>Verzenden</translation>
    </message>
    <message id="FeedbackHint1">
        <source>Please fill in all fields.</source>
        <extracomment>Feedback alert: a field is empty.</extracomment>
        <translation>Vul alle velden in.</translation>
    </message>
    <message id="FeedbackHint2">
        <source>The VIN must be exactly 17 characters long.</source>
        <extracomment>Feedback alert: the VIN does not have 17 characters.</extracomment>
        <translation>Het chassisnummer (VIN) moet precies 17 tekens lang zijn.</translation>
    </message>
    <message id="FeedbackHint4">
        <source>Your support request could not be sent. Please try again later.</source>
        <extracomment>Feedback alert: the support request was refused by the service or did not reach it; the form keeps its entries.</extracomment>
        <translation>Uw ondersteuningsverzoek kon niet worden verzonden. Probeer het later opnieuw.</translation>
    </message>
    <message id="FeedbackHint3">
        <source>Thank you! Your support request has been sent.</source>
        <extracomment>Feedback alert: the support request was accepted.</extracomment>
        <translation>Bedankt! Uw supportverzoek is verzonden.</translation>
    </message>
</context>
</TS>
