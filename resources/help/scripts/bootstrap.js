// Says in the application log that the manual's own scripts run.
console.log("Help scripts loaded");
