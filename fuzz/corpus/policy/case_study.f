(* The disclosure rules of the HIPAA Privacy Rule, 45 CFR 164.502 to 164.514,
   and the right of access of 164.524, as one policy.

   For every disclosure (p1 sends message m to p2 at time t) and every
   attribute a of an individual q that m carries and that is protected
   health information, the disclosure must be permitted by at least one
   clause of <permitted> and must break none of the clauses that follow it.
   Every clause is named after the paragraph it formalises, so that the
   residual formula says which paragraphs remain open.

   A clause that the log decides disappears (true) or makes its disclosure a
   violation (false); a clause that needs a human judgement keeps its
   subjective atoms; an obligation with a deadline stays open until the log
   shows it met. *)

(and
(<c164-502-a> all [p1: string] [p2: string] [m: string] [t: date] [q: string] [a: attribute]
  (and (disclose-eval p1 p2 m t) (hasattrof m q a) (attr_in a phi))
  (and
    (<permitted> or

      % 164.506(c)(2): for the treatment activities of a health care provider.
      (<c164-506-c-2> and (purp_in m Treatment) (inrole p2 Health-care-provider t))

      % 164.506(c)(1), (c)(3): for payment, to a covered entity or provider.
      (<c164-506-c-3> and (purp_in m Payment)
        (or (inrole p2 covered-entity t) (inrole p2 Health-care-provider t)))

      % 164.506(c)(4): for the health care operations of another covered
      % entity (paragraphs (1) and (2) of the definition), when both have a
      % relationship with the individual.
      (<c164-506-c-4> and (purp_in m healthcare-op-para-1-2) (inrole p2 covered-entity t)
        (ex [s1: date] (relationship q p1 s1) (lessthan s1 t))
        (ex [s2: date] (relationship q p2 s2) (lessthan s2 t)))

      % 164.502(e)(1), 164.504(e): to a business associate under a contract in
      % force at the time of the disclosure.
      (<c164-502-e> ex [s3: date] [e3: date] (ba_agreement p1 p2 s3 e3) (time_in s3 t e3))

      % 164.502(a)(1)(i), (a)(2)(i): to the individual.
      (<c164-502-a-1-i> eq_prin p2 q)

      % 164.502(g): to the individual's personal representative.
      (<c164-502-g> ex [s4: date] (personal_rep p2 q s4) (lessthan s4 t))

      % 164.508(a)(1), 164.502(a)(1)(iv): pursuant to a valid authorisation
      % for this recipient, attribute and purpose, signed before and not
      % expired at the time of the disclosure.
      (<c164-508-a-1> ex [u5: purpose] [s5: date] [e5: date]
        (authorization q p1 p2 a u5 s5 e5)
        (and (purp_in m u5) (time_in s5 t e5)))

      % 164.502(f): fifty years after the individual's death the information
      % is no longer protected.
      (<c164-502-f> ex [d6: date] (deceased q d6) (lessthan d6 (plus t ~18263)))

      % 164.502(a)(2)(ii): to the Secretary, for a compliance investigation.
      (<c164-502-a-2-ii> and (purp_in m compliance-investigation) (inrole p2 secretary-hhs t))

      % 164.502(j)(1): whistleblowers, to an oversight agency or an attorney.
      (<c164-502-j-1> and (purp_in m whistleblowing)
        (or (inrole p2 health-oversight-agency t) (inrole p2 attorney t))
        (<c164-502-j-1-i> good-faith-unlawful-conduct p1))

      % 164.504(f): a group health plan to its plan sponsor.
      (<c164-504-f> and (purp_in m plan-administration)
        (inrole p1 group-health-plan t) (inrole p2 plan-sponsor t)
        (<c164-504-f-2> plan-documents-amended p1 p2))

      % 164.510(a): facility directory: name, location, general condition,
      % and religious affiliation to clergy only; the individual had the
      % opportunity to object, or cannot and an emergency applies.
      (<c164-510-a> and (purp_in m facility-directory)
        (or (sub_attr a name) (sub_attr a location-in-facility) (sub_attr a general-condition)
            (and (sub_attr a religious-affiliation) (inrole p2 clergy t)))
        (or (<c164-510-a-2> ex [s7: date] (no_objection q p1 facility-directory s7) (lessthan s7 t))
            (<c164-510-a-3> and (incapacity-or-emergency q) (professional-judgement-best-interest p1 q))))

      % 164.510(b)(1)-(3), (5): to family, relatives and close friends
      % involved in the individual's care or payment.
      (<c164-510-b> and (purp_in m care-involvement)
        (or (inrole p2 family-member t) (inrole p2 close-friend t))
        (<c164-510-b-1> directly-relevant-to-involvement p2 m)
        (or (<c164-510-b-2> ex [s8: date] (no_objection q p1 care-involvement s8) (lessthan s8 t))
            (<c164-510-b-3> and (incapacity-or-emergency q) (professional-judgement-best-interest p1 q))
            (<c164-510-b-5> ex [d8: date] (deceased q d8) (lessthan d8 t))))

      % 164.510(b)(4): to a disaster relief entity.
      (<c164-510-b-4> and (purp_in m disaster-relief) (inrole p2 disaster-relief-entity t)
        (or (<c164-510-b-4-ii> ex [s9: date] (no_objection q p1 disaster-relief s9) (lessthan s9 t))
            (<c164-510-b-4-iii> professional-judgement-best-interest p1 q)))

      % 164.512(a): required by law.
      (<c164-512-a> and (purp_in m required-by-law) (<c164-512-a-1> required-by-law-and-limited p1 p2 m))

      % 164.512(b)(1)(i): to a public health authority.
      (<c164-512-b> and (purp_in m public-health) (inrole p2 public-health-authority t))

      % 164.512(c): about victims of abuse, neglect or domestic violence, to
      % an authority that receives such reports; the individual must be
      % informed promptly unless that would endanger them.
      (<c164-512-c> and (purp_in m abuse-neglect-report)
        (or (inrole p2 government-authority t) (inrole p2 public-health-authority t))
        (<c164-512-c-1> believes-victim-of-abuse p1 q)
        (<c164-512-c-2> or
          (<c164-512-c-2-prompt> ex [m10: string] [t10: date]
            (and (disclose-eval p1 q m10 t10) (time_in t t10 (plus t prompt))) true)
          (<c164-512-c-2-i> informing-would-endanger p1 q)))

      % 164.512(d): to a health oversight agency.
      (<c164-512-d> and (purp_in m health-oversight) (inrole p2 health-oversight-agency t))

      % 164.512(e): judicial and administrative proceedings.
      (<c164-512-e> and (purp_in m judicial-proceeding)
        (or (<c164-512-e-1-i> and (inrole p2 court t) (court-order-covers p2 m))
            (<c164-512-e-1-ii> subpoena-with-satisfactory-assurance p2 m)))

      % 164.512(f)(1): law enforcement, as required by law or by court order.
      (<c164-512-f-1> and (purp_in m law-enforcement-court-order) (inrole p2 law-enforcement-official t)
        (<c164-512-f-1-i> required-by-law-and-limited p1 p2 m))

      % 164.512(f)(2): identification and location, limited information only.
      (<c164-512-f-2> and (purp_in m law-enforcement-relevant-id-or-location)
        (or (sub_attr a name) (sub_attr a address) (sub_attr a date-of-birth)
            (sub_attr a insurance-id) (sub_attr a physical-description))
        (<c164-512-f-2-i> identification-request p2 q))

      % 164.512(f)(3): about the victim of a crime.
      (<c164-512-f-3> and (purp_in m crime-victim-information) (inrole p2 law-enforcement-official t)
        (<c164-512-f-3-i> victim-agreement-or-exception p1 q))

      % 164.512(f)(4): about a decedent, on suspicion of criminal conduct.
      (<c164-512-f-4> and (purp_in m suspicious-death-notification)
        (ex [d11: date] (deceased q d11) (lessthan d11 t))
        (<c164-512-f-4-i> suspects-criminal-death p1 q))

      % 164.512(f)(5): evidence of a crime on the premises.
      (<c164-512-f-5> and (purp_in m report-possible-crime-on-premises)
        (<c164-512-f-5-i> good-faith-crime-on-premises p1 m))

      % 164.512(f)(6): a provider in a medical emergency off its premises.
      (<c164-512-f-6> and (purp_in m alert-of-crime-commission-location-victims-perpetrator)
        (inrole p1 Health-care-provider t)
        (<c164-512-f-6-i> emergency-care-off-premises p1 q))

      % 164.512(g)(1): to coroners and medical examiners.
      (<c164-512-g-1> and (purp_in m decedent-identification)
        (or (inrole p2 coroner t) (inrole p2 medical-examiner t)))

      % 164.512(g)(2): to funeral directors, after or in anticipation of death.
      (<c164-512-g-2> and (purp_in m funeral-arrangements) (inrole p2 funeral-director t)
        (or (ex [d12: date] (deceased q d12) (lessthan d12 t))
            (<c164-512-g-2-i> death-reasonably-anticipated p1 q)))

      % 164.512(h): to organ procurement organisations.
      (<c164-512-h> and (purp_in m organ-donation) (inrole p2 organ-procurement-organization t))

      % 164.512(i): research, under a waiver or about decedents.
      (<c164-512-i> and (purp_in m research) (inrole p2 researcher t)
        (or (<c164-512-i-1-i> research-waiver-approved p2 m)
            (<c164-512-i-1-iii> and (ex [d13: date] (deceased q d13) (lessthan d13 t))
              (decedent-research-representation p2 q))))

      % 164.512(j)(1): to avert a serious and imminent threat.
      (<c164-512-j> and (purp_in m serious-threat-prevention)
        (<c164-512-j-1> good-faith-serious-threat p1 p2))

      % 164.512(k): specialised government functions.
      (<c164-512-k-1> and (purp_in m military-mission) (inrole p2 armed-forces-command t)
        (<c164-512-k-1-i> authorised-government-function p2 m))
      (<c164-512-k-2> and (purp_in m national-security) (inrole p2 federal-official t)
        (<c164-512-k-2-i> authorised-government-function p2 m))
      (<c164-512-k-3> and (purp_in m protective-services) (inrole p2 federal-official t)
        (<c164-512-k-3-i> authorised-government-function p2 m))
      (<c164-512-k-5> and (purp_in m correctional-custody) (inrole p2 correctional-institution t)
        (<c164-512-k-5-i> authorised-government-function p2 m))

      % 164.512(l): workers' compensation.
      (<c164-512-l> and (purp_in m workers-compensation)
        (<c164-512-l-i> complies-with-workers-comp-law p1 p2))

      % 164.514(e): a limited data set under a data use agreement.
      (<c164-514-e> and
        (or (purp_in m research) (purp_in m public-health) (purp_in m Healthcare-op))
        (or (sub_attr a limited-data-set) (attr_in a limited-data-set))
        (ex [s14: date] [e14: date] (data_use_agreement p1 p2 s14 e14) (time_in s14 t e14)))

      % 164.514(f): demographic information for fundraising, to a business
      % associate or an institutionally related foundation.
      (<c164-514-f> and (purp_in m fundraising)
        (or (sub_attr a demographics) (attr_in a demographics))
        (ex [s15: date] [e15: date] (ba_agreement p1 p2 s15 e15) (time_in s15 t e15))))

    % 164.502(b), 164.514(d): minimum necessary, except for treatment, for
    % disclosures to the individual, to the Secretary, required by law, or
    % pursuant to an authorisation.
    (<c164-502-b> or
      (purp_in m Treatment)
      (eq_prin p2 q)
      (purp_in m compliance-investigation)
      (purp_in m required-by-law)
      (ex [u16: purpose] [s16: date] [e16: date] (authorization q p1 p2 a u16 s16 e16)
        (and (purp_in m u16) (time_in s16 t e16)))
      (<c164-514-d-3-i> ex [u17: purpose] (and (purp_in m u17) (protocol p1 u17 a)) true)
      (<c164-514-d-3-ii> minimum-necessary-reviewed p1 p2 m))

    % 164.508(a)(2): psychotherapy notes need an authorisation, except for
    % compliance investigations, disclosures required by law, oversight of
    % the originator, coroners and serious threats.
    (<c164-508-a-2> imp (sub_attr a psychotherapy-notes)
      (or (ex [u18: purpose] [s18: date] [e18: date] (authorization q p1 p2 a u18 s18 e18)
            (and (purp_in m u18) (time_in s18 t e18)))
          (purp_in m compliance-investigation)
          (purp_in m required-by-law)
          (purp_in m health-oversight)
          (purp_in m decedent-identification)
          (purp_in m serious-threat-prevention)))

    % 164.508(a)(3): marketing needs an authorisation, except face-to-face
    % communication and promotional gifts of nominal value.
    (<c164-508-a-3> imp (purp_in m marketing)
      (or (ex [s19: date] [e19: date] (authorization q p1 p2 a marketing s19 e19) (time_in s19 t e19))
          (<c164-508-a-3-i> face-to-face-or-nominal-gift p1 q)))

    % 164.508(a)(4), 164.502(a)(5)(ii): a sale of PHI needs an authorisation.
    (<c164-508-a-4> imp (purp_in m sale-of-phi)
      (ex [s20: date] [e20: date] (authorization q p1 p2 a sale-of-phi s20 e20) (time_in s20 t e20)))

    % 164.502(a)(5)(i): genetic information is never used for underwriting.
    (<c164-502-a-5-i> imp (and (purp_in m underwriting)
                               (or (sub_attr a genetic-information) (attr_in a genetic-information)))
      false)

    % 164.512(f): a disclosure for law enforcement goes to a law enforcement
    % official.
    (<c164-512-f> imp (purp_in m law-enforcement) (inrole p2 law-enforcement-official t))))

% 164.524(b)(2): a request for access is acted on within thirty days of its
% receipt, unless grounds for denial exist.
(<c164-524-b-2> all [q21: string] [ce: string] [r21: date]
  (access_request q21 ce r21)
  (or (<c164-524-b-2-i> ex [m21: string] [t21: date]
        (and (disclose-eval ce q21 m21 t21) (time_in r21 t21 (plus r21 t_reasonable))) true)
      (<c164-524-a-2> access-denial-grounds ce q21))))
