<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>Dongle</name>
    <message>
        <source>Headset revision mismatch</source>
        <translation>Révision du casque incompatible</translation>
    </message>
    <message>
        <source>Headset not available while controlling LINK/Chair</source>
        <translation>Casque indisponible pendant qu’il commande un LINK ou un fauteuil</translation>
    </message>
    <message>
        <source>Query Devices</source>
        <translation>Recherche des appareils</translation>
    </message>
    <message>
        <source>Leave Service</source>
        <translation>Quitter le mode service</translation>
    </message>
    <message>
        <source>Headset</source>
        <translation>Casque</translation>
    </message>
    <message>
        <source>Dongle</source>
        <translation>Dongle</translation>
    </message>
</context>
<context>
    <name>OrvixDirector</name>
    <message>
        <source>Dongle
connected</source>
        <translation>Dongle
connecté</translation>
    </message>
    <message>
        <source>&lt;p&gt;Your dongle is not compatible with this version of OrvixTools&lt;/p&gt;&lt;p&gt;Protocol revision mismatch&lt;/p&gt;&lt;a style=&quot;%1&quot; href=&quot;%2&quot;&gt;Download the latest version&lt;/a&gt;</source>
        <translation>&lt;p&gt;Votre dongle n’est pas compatible avec cette version d’OrvixTools&lt;/p&gt;&lt;p&gt;Révision de protocole incompatible&lt;/p&gt;&lt;a style=&quot;%1&quot; href=&quot;%2&quot;&gt;Télécharger la dernière version&lt;/a&gt;</translation>
    </message>
    <message>
        <source>&lt;p&gt;Your dongle is not compatible with this version of OrvixTools&lt;/p&gt;&lt;p&gt;Protocol revision mismatch&lt;/p&gt;&lt;a style=&quot;%1&quot; href=&quot;%2&quot;&gt;Download the previous version&lt;/a&gt;</source>
        <translation>&lt;p&gt;Votre dongle n’est pas compatible avec cette version d’OrvixTools&lt;/p&gt;&lt;p&gt;Révision de protocole incompatible&lt;/p&gt;&lt;a style=&quot;%1&quot; href=&quot;%2&quot;&gt;Télécharger la version précédente&lt;/a&gt;</translation>
    </message>
    <message>
        <source>Dongle not connected</source>
        <translation>Dongle non connecté</translation>
    </message>
    <message>
        <source>Unable to connect to dongle, remove dongle from USB and reconnect it back again.</source>
        <translation>Impossible de se connecter au dongle. Retirez le dongle du port USB, puis rebranchez-le.</translation>
    </message>
    <message>
        <source>Headset communication failure</source>
        <translation>Échec de communication avec le casque</translation>
    </message>
    <message>
        <source>Do you want to try again?</source>
        <translation>Voulez-vous réessayer ?</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Oui</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Non</translation>
    </message>
    <message>
        <source>OrvixTools</source>
        <translation>OrvixTools</translation>
    </message>
    <message>
        <source>Show ...</source>
        <translation>Afficher ...</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <source>Orvix tools</source>
        <translation>Orvix tools</translation>
    </message>
    <message>
        <source>Started</source>
        <translation>Démarré</translation>
    </message>
    <message>
        <source>Software update</source>
        <translation>Mise à jour du logiciel</translation>
    </message>
    <message>
        <source>Software update to %1 is available.&lt;br&gt;Do you want to update now?</source>
        <translation>La mise à jour vers %1 est disponible.&lt;br&gt;Voulez-vous mettre à jour maintenant ?</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Mettre à jour</translation>
    </message>
    <message>
        <source>Not now</source>
        <translation>Pas maintenant</translation>
    </message>
    <message>
        <source>The software update could not be started. Please install the update manually.</source>
        <translation>La mise à jour n’a pas pu être lancée. Veuillez installer la mise à jour manuellement.</translation>
    </message>
    <message>
        <source>Downloading software update v %1. Installation will start automatically, please wait.</source>
        <translation>Téléchargement de la mise à jour v %1. L’installation démarrera automatiquement, veuillez patienter.</translation>
    </message>
    <message>
        <source>The software update could not be installed.&lt;br&gt;&lt;br&gt;%1</source>
        <translation>La mise à jour n’a pas pu être installée.&lt;br&gt;&lt;br&gt;%1</translation>
    </message>
</context>
<context>
    <name>ProfileManager</name>
    <message>
        <source>The dongle&apos;s settings may differ from the profile shown.</source>
        <translation>Les réglages du dongle peuvent différer du profil affiché.</translation>
    </message>
</context>
<context>
    <name>ProgressDialog</name>
    <message>
        <source>Dialog</source>
        <translation>Dialogue</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Link Drive</source>
        <translation>Link Conduite</translation>
    </message>
    <message>
        <source>Link Actuator</source>
        <translation>Link Actionneur</translation>
    </message>
    <message>
        <source>PC #1</source>
        <translation>PC n° 1</translation>
    </message>
    <message>
        <source>PC #2</source>
        <translation>PC n° 2</translation>
    </message>
    <message>
        <source>Chair Drive</source>
        <translation>Fauteuil Conduite</translation>
    </message>
    <message>
        <source>Chair Mouse</source>
        <translation>Fauteuil Souris</translation>
    </message>
    <message>
        <source>Chair Actuator</source>
        <translation>Fauteuil Actionneur</translation>
    </message>
    <message>
        <source>Link Outdoor Drive</source>
        <translation>Link Conduite extérieure</translation>
    </message>
    <message>
        <source>Unknown Preset</source>
        <translation>Préréglage inconnu</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>inconnu</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Checksum mismatch</source>
        <translation>Somme de contrôle incorrecte</translation>
    </message>
    <message>
        <source>Invalid response</source>
        <translation>Réponse invalide</translation>
    </message>
    <message>
        <source>Command queue is empty</source>
        <translation>La file de commandes est vide</translation>
    </message>
    <message>
        <source>Operation timed out</source>
        <translation>Délai d’attente dépassé</translation>
    </message>
    <message>
        <source>Query channel map failed</source>
        <translation>Lecture de la table des canaux échouée</translation>
    </message>
    <message>
        <source>No headset connected</source>
        <translation>Aucun casque connecté</translation>
    </message>
    <message>
        <source>Headset is active</source>
        <translation>Le casque est actif</translation>
    </message>
    <message>
        <source>Invalid command</source>
        <translation>Commande invalide</translation>
    </message>
    <message>
        <source>Invalid revision</source>
        <translation>Révision invalide</translation>
    </message>
    <message>
        <source>Exception</source>
        <translation>Exception</translation>
    </message>
    <message>
        <source>Invalid dongle state</source>
        <translation>État du dongle invalide</translation>
    </message>
    <message>
        <source>Dongle is not in service mode</source>
        <translation>Le dongle n’est pas en mode service</translation>
    </message>
    <message>
        <source>Not implemented</source>
        <translation>Non implémenté</translation>
    </message>
    <message>
        <source>Unknwon error</source>
        <translation>Erreur inconnue</translation>
    </message>
    <message>
        <source>less than 1 minute</source>
        <translation>moins d’une minute</translation>
    </message>
    <message>
        <source>less than %1 minutes</source>
        <translation>moins de %1 minutes</translation>
    </message>
    <message>
        <source>less than %1 hours</source>
        <translation>moins de %1 heures</translation>
    </message>
    <message>
        <source>more than a day</source>
        <translation>plus d’un jour</translation>
    </message>
    <message>
        <source>Failed</source>
        <translation>Échec</translation>
    </message>
    <message>
        <source>Aborted</source>
        <translation>Interrompu</translation>
    </message>
    <message>
        <source>A headset holds at most %1 devices</source>
        <translation>Un casque peut contenir au plus %1 appareils</translation>
    </message>
    <message>
        <source>Refused by the device</source>
        <translation>Refusé par l’appareil</translation>
    </message>
    <message>
        <source>Dongle removed</source>
        <translation>Dongle retiré</translation>
    </message>
    <message>
        <source>No dongle connected</source>
        <translation>Aucun dongle connecté</translation>
    </message>
</context>
<context>
    <name>SidebarDialog</name>
    <message>
        <source>OrvixTools</source>
        <translation>OrvixTools</translation>
    </message>
    <message>
        <source>Show or hide OrvixTools</source>
        <translation>Afficher ou masquer OrvixTools</translation>
    </message>
    <message>
        <source>Dongle</source>
        <translation>Dongle</translation>
    </message>
    <message>
        <source>No dongle</source>
        <translation>Aucun dongle</translation>
    </message>
    <message>
        <source>No headset</source>
        <translation>Aucun casque</translation>
    </message>
    <message>
        <source>Active</source>
        <translation>Actif</translation>
    </message>
    <message>
        <source>Passive</source>
        <translation>Passif</translation>
    </message>
    <message>
        <source>The on-screen keyboard did not start</source>
        <translation>Le clavier virtuel n’a pas démarré</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Turn on turbo mode</source>
        <translation>Activer le mode turbo</translation>
    </message>
</context>
</TS>
