<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="hu">
<context>
    <name>DFUConnectForm</name>
    <message>
        <source>Form</source>
        <translation>Űrlap</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Connect the Micro USB cable to the LINK and the other end to the Dongle, please.&lt;/p&gt;&lt;p&gt;Press the &lt;span style=&quot; font-weight:600;&quot;&gt;Connect&lt;/span&gt; button when you are done.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Kérjük, csatlakoztassa a Micro USB kábelt a LINK-hez, a másik végét pedig a dongle-hoz.&lt;/p&gt;&lt;p&gt;Ha kész, nyomja meg a &lt;span style=&quot; font-weight:600;&quot;&gt;Csatlakozás&lt;/span&gt; gombot.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
</context>
<context>
    <name>DFUFailedForm</name>
    <message>
        <source>Form</source>
        <translation>Űrlap</translation>
    </message>
    <message>
        <source>Firmware update failed</source>
        <translation>A firmware-frissítés nem sikerült</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Remove the dongle, than disconnect the cable of the Link from the dongle.&lt;/p&gt;&lt;p&gt;Re-connect the Dongle to the computer to leave firmware update mode.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Húzza ki a dongle-t, majd válassza le a LINK kábelét a dongle-ról.&lt;/p&gt;&lt;p&gt;A frissítési módból való kilépéshez csatlakoztassa újra a dongle-t a számítógéphez.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
</context>
<context>
    <name>DFUGetFirmwareForm</name>
    <message>
        <source>Form</source>
        <translation>Űrlap</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Now you can select which firmware do you want to use.&lt;/p&gt;&lt;p&gt;After the selection is made the &lt;span style=&quot; font-weight:600;&quot;&gt;Upload &lt;/span&gt;button will be available.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Most kiválaszthatja, melyik firmware-t szeretné használni.&lt;/p&gt;&lt;p&gt;A választás után a &lt;span style=&quot; font-weight:600;&quot;&gt;Feltöltés &lt;/span&gt;gomb elérhetővé válik.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Currrent Version:</source>
        <translation>Jelenlegi verzió:</translation>
    </message>
    <message>
        <source>XX.YY.ZZ</source>
        <translation>XX.YY.ZZ</translation>
    </message>
    <message>
        <source>Online version:</source>
        <translation>Online verzió:</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Letöltés</translation>
    </message>
    <message>
        <source>Not connected to the internet</source>
        <translation>Nincs internetkapcsolat</translation>
    </message>
    <message>
        <source>estimated time:</source>
        <translation>becsült idő:</translation>
    </message>
    <message>
        <source>less then 1 minute</source>
        <translation>kevesebb mint 1 perc</translation>
    </message>
    <message>
        <source>Use already donwloaded or custom firmware</source>
        <translation>Már letöltött vagy saját firmware használata</translation>
    </message>
    <message>
        <source>Browse</source>
        <translation>Tallózás</translation>
    </message>
</context>
<context>
    <name>DFUSucceededForm</name>
    <message>
        <source>Form</source>
        <translation>Űrlap</translation>
    </message>
    <message>
        <source>Firmware update succeeded</source>
        <translation>A firmware-frissítés sikerült</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;The firmware update completed, follow the instructions below.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;A firmware-frissítés befejeződött, kövesse az alábbi utasításokat.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Remove the dongle, than disconnect the cable of the Link from the dongle.&lt;/p&gt;&lt;p&gt;Re-connect the Dongle to the computer to leave firmware update mode.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Húzza ki a dongle-t, majd válassza le a LINK kábelét a dongle-ról.&lt;/p&gt;&lt;p&gt;A frissítési módból való kilépéshez csatlakoztassa újra a dongle-t a számítógéphez.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
</context>
<context>
    <name>DFUUploadForm</name>
    <message>
        <source>Form</source>
        <translation>Űrlap</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Upload in progress&lt;/p&gt;&lt;p&gt;When the upload is finished the &lt;span style=&quot; font-weight:600;&quot;&gt;Finish&lt;/span&gt; button will be available&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Feltöltés folyamatban&lt;/p&gt;&lt;p&gt;A feltöltés végeztével a &lt;span style=&quot; font-weight:600;&quot;&gt;Befejezés&lt;/span&gt; gomb elérhetővé válik&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Upload in progress</source>
        <translation>Feltöltés folyamatban</translation>
    </message>
    <message>
        <source>estimated time:</source>
        <translation>becsült idő:</translation>
    </message>
    <message>
        <source>less then a minute</source>
        <translation>kevesebb mint egy perc</translation>
    </message>
</context>
<context>
    <name>DFUWelcomeForm</name>
    <message>
        <source>Form</source>
        <translation>Űrlap</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-size:18pt; font-weight:600;&quot;&gt;Welcome to the firmware update process! &lt;/span&gt;&lt;/p&gt;&lt;p&gt;We will guide you through the LINK firmware update, please note the following ... &lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-size:18pt; font-weight:600;&quot;&gt;Üdvözöljük a firmware-frissítésben! &lt;/span&gt;&lt;/p&gt;&lt;p&gt;Lépésről lépésre végigvezetjük a LINK firmware-frissítésén. Kérjük, vegye figyelembe a következőket… &lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;Do not start firmware update process without assistance!&lt;/span&gt;&lt;/p&gt;&lt;p&gt;At the end of the process you will have to remove the dongle from the computer to leave firmware update mode.&lt;/p&gt;&lt;p&gt;Connect your chair to the power source.&lt;/p&gt;&lt;p&gt;Do not turn off the LINK during firmware update.&lt;/p&gt;&lt;p&gt;If you would like to start firmware update now, press the &lt;span style=&quot; font-weight:600;&quot;&gt;Continue&lt;/span&gt; button, otherwise just leave this screen.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;Segítség nélkül ne kezdje el a firmware-frissítést!&lt;/span&gt;&lt;/p&gt;&lt;p&gt;A folyamat végén a frissítési módból való kilépéshez ki kell húznia a dongle-t a számítógépből.&lt;/p&gt;&lt;p&gt;Csatlakoztassa a kerekesszéket az áramforráshoz.&lt;/p&gt;&lt;p&gt;A firmware-frissítés alatt ne kapcsolja ki a LINK-et.&lt;/p&gt;&lt;p&gt;Ha most szeretné elkezdeni a frissítést, nyomja meg a &lt;span style=&quot; font-weight:600;&quot;&gt;Tovább&lt;/span&gt; gombot, különben egyszerűen hagyja el ezt a képernyőt.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
</context>
<context>
    <name>OX::DFUConnectForm</name>
    <message>
        <source>Connect</source>
        <translation>Csatlakozás</translation>
    </message>
    <message>
        <source>Get Version</source>
        <translation>Verzió lekérdezése</translation>
    </message>
    <message>
        <source>GET service mode state</source>
        <translation>Szervizmód állapotának lekérdezése</translation>
    </message>
    <message>
        <source>Connect to link failed</source>
        <translation>A kapcsolódás a LINK-hez nem sikerült</translation>
    </message>
    <message>
        <source>Link error</source>
        <translation>LINK-hiba</translation>
    </message>
    <message>
        <source>Please put the link to service mode</source>
        <translation>Kérjük, állítsa a LINK-et szervizmódba</translation>
    </message>
    <message>
        <source>Connect to link done</source>
        <translation>Kapcsolódás a LINK-hez kész</translation>
    </message>
    <message>
        <source>Dongle not connected or lost.</source>
        <translation>A dongle nincs csatlakoztatva vagy elveszett.</translation>
    </message>
    <message>
        <source>Link not found. Would you like to start the recovery mode?</source>
        <translation>A LINK nem található. Szeretné elindítani a helyreállítási módot?</translation>
    </message>
    <message>
        <source>Link not found</source>
        <translation>A LINK nem található</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Igen</translation>
    </message>
    <message>
        <source>Dismiss and Leave page</source>
        <translation>Elvetés és kilépés az oldalról</translation>
    </message>
    <message>
        <source>Unable to communicate with the link.</source>
        <translation>Nem sikerült kommunikálni a LINK-kel.</translation>
    </message>
</context>
<context>
    <name>OX::DFUFailedForm</name>
    <message>
        <source>Failed</source>
        <translation>Sikertelen</translation>
    </message>
</context>
<context>
    <name>OX::DFUGetFirmwareForm</name>
    <message>
        <source>Select firmware</source>
        <translation>Firmware kiválasztása</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Ismeretlen</translation>
    </message>
    <message>
        <source>Upload</source>
        <translation>Feltöltés</translation>
    </message>
    <message>
        <source>Checking internet connection</source>
        <translation>Internetkapcsolat ellenőrzése</translation>
    </message>
    <message>
        <source>No update service is set</source>
        <translation>Nincs beállítva frissítési szolgáltatás</translation>
    </message>
    <message>
        <source>The update service cannot be reached</source>
        <translation>A frissítési szolgáltatás nem érhető el</translation>
    </message>
    <message>
        <source>Unable to write Application folder.</source>
        <translation>Az alkalmazás mappája nem írható.</translation>
    </message>
    <message>
        <source>Checking available firmware</source>
        <translation>Elérhető firmware keresése</translation>
    </message>
    <message>
        <source>Error during firmware version check</source>
        <translation>Hiba a firmware verziójának ellenőrzése közben</translation>
    </message>
    <message>
        <source>New Link firmware available</source>
        <translation>Új LINK firmware érhető el</translation>
    </message>
    <message>
        <source>There is no new Link firmware available</source>
        <translation>Nincs új LINK firmware</translation>
    </message>
    <message>
        <source>Downloading firmware</source>
        <translation>Firmware letöltése</translation>
    </message>
    <message>
        <source>Error during firmware download</source>
        <translation>Hiba a firmware letöltése közben</translation>
    </message>
    <message>
        <source>New firmware succesfull downloaded</source>
        <translation>Az új firmware letöltése sikerült</translation>
    </message>
    <message>
        <source>New firmware downloaded into the list; the firmware chosen there stays chosen</source>
        <translation>Az új firmware letöltődött a listába; a listában választott firmware marad kiválasztva</translation>
    </message>
    <message>
        <source>%1 is not a LINK firmware file (*.enc).</source>
        <translation>A(z) %1 nem LINK firmware-fájl (*.enc).</translation>
    </message>
    <message>
        <source>The firmware downloaded is not the version offered; download it again</source>
        <translation>A letöltött firmware nem a felajánlott verzió; töltse le újra</translation>
    </message>
    <message>
        <source>Firmware file</source>
        <translation>Firmware-fájl</translation>
    </message>
    <message>
        <source>The firmware folder already holds a different file named %1. Rename your file and select it again.</source>
        <translation>A firmware-mappában már van egy másik %1 nevű fájl. Nevezze át a fájlt, és válassza ki újra.</translation>
    </message>
    <message>
        <source>Unable to copy %1 into the firmware folder.</source>
        <translation>A(z) %1 nem másolható a firmware-mappába.</translation>
    </message>
    <message>
        <source>Dongle not connected or lost.</source>
        <translation>A dongle nincs csatlakoztatva vagy elveszett.</translation>
    </message>
    <message>
        <source>Unable to start Link bootloader.</source>
        <translation>Nem sikerült elindítani a LINK rendszerbetöltőjét.</translation>
    </message>
</context>
<context>
    <name>OX::DFURecoveryForm</name>
    <message>
        <source>Form</source>
        <translation>Űrlap</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p align=&quot;center&quot;&gt;&lt;span style=&quot; font-size:18pt; font-weight:600;&quot;&gt;Dead link recovery mode &lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p align=&quot;center&quot;&gt;&lt;span style=&quot; font-size:18pt; font-weight:600;&quot;&gt;Nem induló LINK helyreállítása &lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Recovery mode</source>
        <translation>Helyreállítási mód</translation>
    </message>
    <message>
        <source>Continue</source>
        <translation>Tovább</translation>
    </message>
</context>
<context>
    <name>OX::DFUSender</name>
    <message>
        <source>Dongle not connected or lost.</source>
        <translation>A dongle nincs csatlakoztatva vagy elveszett.</translation>
    </message>
    <message>
        <source>Dongle error, could not start Xmodem.</source>
        <translation>Dongle-hiba, az Xmodem nem indítható.</translation>
    </message>
</context>
<context>
    <name>OX::DFUSucceededForm</name>
    <message>
        <source>Succeeded</source>
        <translation>Sikeres</translation>
    </message>
</context>
<context>
    <name>OX::DFUUploadForm</name>
    <message>
        <source>Upload</source>
        <translation>Feltöltés</translation>
    </message>
    <message>
        <source>Finish</source>
        <translation>Befejezés</translation>
    </message>
    <message>
        <source>Waiting for link to start bootloader</source>
        <translation>Várakozás a LINK rendszerbetöltőjének indulására</translation>
    </message>
    <message>
        <source>Updating firmware</source>
        <translation>Firmware frissítése</translation>
    </message>
    <message>
        <source>Link firmware upload failed.</source>
        <translation>A LINK firmware feltöltése nem sikerült.</translation>
    </message>
    <message>
        <source>The LINK was left half-written and does not start its firmware: update it again in recovery mode.</source>
        <translation>A LINK félig írt állapotban maradt, és nem indítja el a firmware-ét: frissítse újra helyreállítási módban.</translation>
    </message>
    <message>
        <source>Upload finished</source>
        <translation>A feltöltés befejeződött</translation>
    </message>
    <message>
        <source>Link firmware upload failed, waiting for start bootloader timed out.</source>
        <translation>A LINK firmware feltöltése nem sikerült: a rendszerbetöltő nem indult el időben.</translation>
    </message>
    <message>
        <source>The upload was stopped. The LINK was left half-written and does not start its firmware: update it again in recovery mode.</source>
        <translation>A feltöltés leállt. A LINK félig írt állapotban maradt, és nem indítja el a firmware-ét: frissítse újra helyreállítási módban.</translation>
    </message>
    <message>
        <source>Firmware update</source>
        <translation>Firmware-frissítés</translation>
    </message>
    <message>
        <source>The firmware upload did not complete. The LINK was left half-written and does not start its firmware: connect the dongle and the LINK again, then update it in recovery mode.</source>
        <translation>A firmware feltöltése nem fejeződött be. A LINK félig írt állapotban maradt, és nem indítja el a firmware-ét: csatlakoztassa újra a dongle-t és a LINK-et, majd frissítse helyreállítási módban.</translation>
    </message>
    <message>
        <source>Firmware update succeeded</source>
        <translation>A firmware-frissítés sikerült</translation>
    </message>
    <message>
        <source>The LINK firmware was updated. Remove the dongle, then disconnect the cable of the LINK from the dongle. Connect the dongle again to leave firmware update mode.</source>
        <translation>A LINK firmware-e frissült. Húzza ki a dongle-t, majd válassza le a LINK kábelét a dongle-ról. Csatlakoztassa újra a dongle-t a firmware-frissítési módból való kilépéshez.</translation>
    </message>
</context>
<context>
    <name>OX::DFUWelcomeForm</name>
    <message>
        <source>Continue</source>
        <translation>Tovább</translation>
    </message>
    <message>
        <source>Welcome</source>
        <translation>Üdvözlés</translation>
    </message>
    <message>
        <source>Dongle not connected or lost.</source>
        <translation>A dongle nincs csatlakoztatva vagy elveszett.</translation>
    </message>
    <message>
        <source>Unable to enter firmware update mode.</source>
        <translation>Nem sikerült firmware-frissítési módba lépni.</translation>
    </message>
</context>
<context>
    <name>OX::FirmwarePage</name>
    <message>
        <source>Form</source>
        <translation>Űrlap</translation>
    </message>
    <message>
        <source>Placeholder</source>
        <translation>Helykitöltő</translation>
    </message>
    <message>
        <source>Prev</source>
        <translation>Előző</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>Következő</translation>
    </message>
    <message>
        <source>Firmware update</source>
        <translation>Firmware-frissítés</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Vissza</translation>
    </message>
    <message>
        <source>The dongle was lost during the upload. The LINK was left half-written and does not start its firmware: connect the dongle and the LINK again, then update it in recovery mode.</source>
        <translation>A dongle elveszett a feltöltés közben. A LINK félig írt állapotban maradt, és nem indítja el a firmware-ét: csatlakoztassa újra a dongle-t és a LINK-et, majd frissítse helyreállítási módban.</translation>
    </message>
    <message>
        <source>The firmware upload is still running. Do you want to stop it?</source>
        <translation>A firmware feltöltése még folyamatban van. Le szeretné állítani?</translation>
    </message>
    <message>
        <source>A stopped upload leaves the LINK half-written: it does not start its firmware until it is updated again in recovery mode.</source>
        <translation>A leállított feltöltés félig írt állapotban hagyja a LINK-et: nem indítja el a firmware-ét, amíg helyreállítási módban újra nem frissítik.</translation>
    </message>
    <message>
        <source>Continue upload</source>
        <translation>Feltöltés folytatása</translation>
    </message>
    <message>
        <source>Stop upload</source>
        <translation>Feltöltés leállítása</translation>
    </message>
    <message>
        <source>A LINK firmware upload is running. Do you want to stop it and quit?</source>
        <translation>LINK firmware feltöltése van folyamatban. Le szeretné állítani, és kilépni?</translation>
    </message>
    <message>
        <source>Stop and quit</source>
        <translation>Leállítás és kilépés</translation>
    </message>
</context>
<context>
    <name>OX::FirmwareImage</name>
    <message>
        <source>%1 does not exist.</source>
        <translation>A(z) %1 nem létezik.</translation>
    </message>
    <message>
        <source>%1 is not a regular file and cannot be firmware.</source>
        <translation>A(z) %1 nem közönséges fájl, így nem lehet firmware.</translation>
    </message>
    <message>
        <source>%1 is empty: it is not firmware.</source>
        <translation>A(z) %1 üres: nem firmware.</translation>
    </message>
    <message>
        <source>%1 is larger than a LINK can hold (%2 KiB at most).</source>
        <translation>A(z) %1 nagyobb, mint amit egy LINK tárolni tud (legfeljebb %2 KiB).</translation>
    </message>
    <message>
        <source>%1 cannot be read.</source>
        <translation>A(z) %1 nem olvasható.</translation>
    </message>
</context>
</TS>
